// Writing a file on POSIX: a temporary file, written, synced and renamed over the
// target; or straight into standard output, a FIFO or a device.
#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/file_error.h"
#include "platform/file_checks.h"

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

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Collects appended bytes into a buffer and writes it to the file whenever it fills.
// The first failed write is kept, with its OS error, and every later byte dropped.
class BufferedFileSink final : public ByteSink {
 public:
  explicit BufferedFileSink(int fd) : fd_(fd) { buffer_.reserve(kBufferSize); }

  void Append(const std::uint8_t* data, std::size_t size) override {
    if (failed_) return;
    if (buffer_.size() + size > kBufferSize) Flush();
    if (size >= kBufferSize) {
      Write(data, size);
    } else {
      buffer_.insert(buffer_.end(), data, data + size);
    }
  }

  // Writes what the buffer holds; true when every byte appended so far is written.
  bool Flush() {
    Write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return !failed_;
  }

  int osError() const { return osError_; }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  void Write(const std::uint8_t* data, std::size_t size) {
    if (failed_ || WriteAll(fd_, data, size)) return;
    failed_ = true;
    osError_ = errno;
  }

  int fd_;
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
  int osError_ = 0;
};

[[noreturn]] void Fail(const std::string& path, int osError) {
  throw FileError(CauseOfOsError(osError), path, osError);
}

// Writes everything into an open stream (standard output, a FIFO, a device).
void WriteIntoStream(int fd, const std::string& path,
                     const std::function<void(ByteSink&)>& writeContents) {
  BufferedFileSink sink(fd);
  writeContents(sink);
  if (!sink.Flush()) Fail(path, sink.osError());
}

}  // namespace

void WriteOutputFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents) {
  switch (KindOfOutput(path)) {
    case OutputKind::kStandardOutput:
      WriteIntoStream(STDOUT_FILENO, path, writeContents);
      return;
    case OutputKind::kStream: {
      const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      if (fd < 0) Fail(path, errno);
      try {
        WriteIntoStream(fd, path, writeContents);
      } catch (...) {
        close(fd);
        throw;
      }
      if (close(fd) != 0) Fail(path, errno);
      return;
    }
    case OutputKind::kFile:
      try {
        ReplaceFile(OutputFileTarget(path), writeContents);
      } catch (const FileError& error) {
        throw FileError(error.cause(), path, error.osError());
      }
      return;
  }
}

void ReplaceFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents) {
  if (path.empty()) Fail(path, ENOENT);
  std::string temp = FolderOf(path) + "/.kelvane-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) Fail(path, errno);

  BufferedFileSink sink(fd);
  try {
    writeContents(sink);
  } catch (...) {
    close(fd);
    unlink(temp.c_str());
    throw;
  }
  const bool flushed = sink.Flush();
  const bool written = flushed && fchmod(fd, ModeForTarget(path)) == 0 && fsync(fd) == 0;
  const int writeError = flushed ? errno : sink.osError();
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
