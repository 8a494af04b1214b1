#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/file_checks.h"

namespace kelvane {

std::optional<OsFailure> ErrorReadingFile(const std::string& path) {
  // O_NONBLOCK: a FIFO named as an archive must not hold the command up.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return OsFailure::Last();
  struct stat st {};
  const int error = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  close(fd);
  if (error == 0) return std::nullopt;
  return OsFailure::Reported(error);
}

bool SameFile(const std::string& a, const std::string& b) {
  const auto first = IdentityOf(a);
  return first && first == IdentityOf(b);
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

OutputKind KindOfOutput(const std::string& path) {
  if (path == "-") return OutputKind::kStandardOutput;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
    return OutputKind::kStream;
  }
  return OutputKind::kFile;
}

std::string OutputFileTarget(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path target = path;
  // A chain of links is followed link by link, relative links from their own folder;
  // a loop ends after as many steps as the system allows.
  for (int step = 0; step < 40; ++step) {
    std::error_code ec;
    if (!fs::is_symlink(target, ec)) break;
    const fs::path next = fs::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target.string();
}

std::string FolderOfOutputFile(const std::string& path) {
  const std::filesystem::path target = OutputFileTarget(path);
  return target.has_parent_path() ? target.parent_path().string() : ".";
}

std::optional<OsFailure> OutputFolderError(const std::string& path) {
  const std::string target = OutputFileTarget(path);
  const std::string folder = FolderOfOutputFile(path);
  struct stat st {};
  if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return OsFailure::Reported(EISDIR);
  if (stat(folder.c_str(), &st) != 0) return OsFailure::Last();
  if (!S_ISDIR(st.st_mode)) return OsFailure::Reported(ENOTDIR);
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return OsFailure::Last();
  return std::nullopt;
}

}  // namespace kelvane
