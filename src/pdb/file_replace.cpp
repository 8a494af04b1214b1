// The one POSIX-only piece of the database writer: temporary file, write, rename.
#include "pdb/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "pdb/file_error.h"

namespace kelvane {
namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The mode a newly created file would get, or the existing target's own mode.
mode_t ModeForTarget(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

[[noreturn]] void Fail(const std::string& path, int osError) {
  throw FileError(CauseOfOsError(osError), path, osError);
}

}  // namespace

void ReplaceFile(const std::string& path, const Bytes& bytes) {
  if (path.empty()) Fail(path, ENOENT);
  std::string temp = FolderOf(path) + "/.kelvane-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) Fail(path, errno);

  const bool written = WriteAll(fd, bytes) && fchmod(fd, ModeForTarget(path)) == 0 &&
                       fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = close(fd) == 0;
  const int closeError = errno;
  if (!written || !closed) {
    unlink(temp.c_str());
    Fail(path, !written ? writeError : closeError);
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    unlink(temp.c_str());
    Fail(path, renameError);
  }
}

}  // namespace kelvane
