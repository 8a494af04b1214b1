// Writing a file on POSIX: a temporary file, written, synced and renamed over the
// target; or straight into standard output, a FIFO or a device.
#include "platform/file_replace.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/file_checks.h"
#include "platform/file_error.h"
#include "platform/posix_os_error.h"

namespace kelvane {
namespace {

// How long a write waits for a reader or a device at a time before it asks again
// whether to stop.
constexpr int kWaitMs = 100;
// How much the kernel copies from file to file before the stop is asked again.
constexpr std::size_t kCopyChunk = 8 << 20;
// How much of a file is moved up at a time.
constexpr std::size_t kMoveChunk = 256 << 10;

[[noreturn]] void Fail(const std::string& path, int osError) { ThrowFileError(osError, path); }

void StopWhenAsked(const StopCheck& stop) {
  if (stop && stop()) throw WriteStopped{};
}

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

// Writes whole buffers to a descriptor. A regular file takes them at once; anything
// else (a pipe, a FIFO, a device) may wait for its reader, so there the writer waits
// in poll() first and writes no more than a pipe takes without waiting: a reader that
// never comes or stalls holds the write up only until it is asked to stop.
class DescriptorWriter {
 public:
  enum class Copy { kDone, kFailed, kNotHere };

  DescriptorWriter(int fd, const StopCheck& stop) : fd_(fd), stop_(stop) {
    struct stat st {};
    mayWait_ = fstat(fd, &st) != 0 || !S_ISREG(st.st_mode);
  }

  // True when every byte is written; else errno tells why not.
  bool WriteAll(const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
      StopWhenAsked(stop_);
      std::size_t chunk = size - done;
      if (mayWait_) {
        if (!WaitUntilWritable()) continue;
        chunk = std::min<std::size_t>(chunk, PIPE_BUF);
      }
      const ssize_t n = write(fd_, data + done, chunk);
      if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  // Has the kernel copy every byte of `file` from offset `from` on (copy_file_range):
  // into a regular file, and where the file systems allow it, the bytes never pass
  // through the program. kFailed leaves errno telling why; kNotHere means nothing was copied.
  Copy CopyFile(std::FILE* file, std::uint64_t from) {
    if (mayWait_) return Copy::kNotHere;
    const auto start = static_cast<loff_t>(from);
    loff_t offset = start;
    for (;;) {
      StopWhenAsked(stop_);
      const ssize_t copied = copy_file_range(fileno(file), &offset, fd_, nullptr, kCopyChunk, 0);
      if (copied == 0) return Copy::kDone;
      if (copied > 0 || errno == EINTR) continue;
      const bool unsupported = errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
      return offset == start && unsupported ? Copy::kNotHere : Copy::kFailed;
    }
  }

 private:
  // True once the descriptor takes bytes (or has an error the write will tell).
  bool WaitUntilWritable() const {
    pollfd ready{fd_, POLLOUT, 0};
    return poll(&ready, 1, kWaitMs) > 0;
  }

  int fd_;
  const StopCheck& stop_;
  bool mayWait_ = true;
};

// Collects appended bytes into a buffer and writes it whenever it fills. The first
// failed write is kept, with its OS error, and every later byte dropped.
class BufferedSink final : public ByteSink {
 public:
  BufferedSink(int fd, const StopCheck& stop) : writer_(fd, stop) { buffer_.reserve(kBufferSize); }

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

  bool AppendFile(std::FILE* file, std::uint64_t from) override {
    if (failed_ || !Flush()) return true;
    switch (writer_.CopyFile(file, from)) {
      case DescriptorWriter::Copy::kDone: return true;
      case DescriptorWriter::Copy::kFailed:
        failed_ = true;
        osError_ = errno;
        return true;
      case DescriptorWriter::Copy::kNotHere: break;
    }
    return ByteSink::AppendFile(file, from);
  }

  int osError() const { return osError_; }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  void Write(const std::uint8_t* data, std::size_t size) {
    if (failed_ || writer_.WriteAll(data, size)) return;
    failed_ = true;
    osError_ = errno;
  }

  DescriptorWriter writer_;
  std::vector<std::uint8_t> buffer_;
  bool failed_ = false;
  int osError_ = 0;
};

// Reads `size` bytes at `offset` of `fd` into `data`, or writes them there from it;
// false, with errno set, when that fails or the file ends first.
bool ReadAllAt(int fd, std::uint8_t* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = pread(fd, data, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

bool WriteAllAt(int fd, const std::uint8_t* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = pwrite(fd, data, size, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

// Moves the `size` bytes at `from` of `fd` to `to`, a chunk at a time, in the order
// that never writes over a byte before it is moved; false, with errno set, on failure.
bool MoveBytes(int fd, off_t from, off_t size, off_t to) {
  std::vector<std::uint8_t> chunk(kMoveChunk);
  const bool up = to > from;
  for (off_t done = 0; done < size;) {
    const auto length = static_cast<std::size_t>(std::min<off_t>(size - done, kMoveChunk));
    const off_t at = up ? size - done - static_cast<off_t>(length) : done;
    if (!ReadAllAt(fd, chunk.data(), length, from + at) || !WriteAllAt(fd, chunk.data(), length, to + at)) {
      return false;
    }
    done += static_cast<off_t>(length);
  }
  return true;
}

// Writes everything into an open stream (standard output, a FIFO, a device).
void WriteIntoStream(int fd, const std::string& path, const std::function<void(ByteSink&)>& writeContents,
                     const StopCheck& stop) {
  BufferedSink sink(fd, stop);
  writeContents(sink);
  if (!sink.Flush()) Fail(path, sink.osError());
}

bool IsFifo(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Opens an existing FIFO or device for writing. A FIFO opens only once it has a
// reader: until then the open is tried again several times a second, asking `stop`.
int OpenStream(const std::string& path, const StopCheck& stop) {
  for (;;) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (errno != EINTR && !(errno == ENXIO && IsFifo(path))) Fail(path, errno);
    StopWhenAsked(stop);
    poll(nullptr, 0, kWaitMs);
  }
}

}  // namespace

void WriteOutputFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents,
                     const StopCheck& stop) {
  switch (KindOfOutput(path)) {
    case OutputKind::kStandardOutput:
      WriteIntoStream(STDOUT_FILENO, kStandardOutputName, writeContents, stop);
      return;
    case OutputKind::kStream: {
      const int fd = OpenStream(path, stop);
      try {
        WriteIntoStream(fd, path, writeContents, stop);
      } catch (...) {
        close(fd);
        throw;
      }
      if (close(fd) != 0) Fail(path, errno);
      return;
    }
    case OutputKind::kFile:
      try {
        ReplaceFile(OutputFileTarget(path), writeContents, stop);
      } catch (const FileError& error) {
        throw FileError(error.failure(), path);
      }
      return;
  }
}

void ReplaceFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents,
                 const StopCheck& stop) {
  if (path.empty()) Fail(path, ENOENT);
  std::string temp = FolderOf(path) + "/.kelvane-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) Fail(path, errno);

  bool flushed = false;
  int writeError = 0;
  try {
    BufferedSink sink(fd, stop);
    writeContents(sink);
    flushed = sink.Flush();
    writeError = sink.osError();
  } catch (...) {
    close(fd);
    unlink(temp.c_str());
    throw;
  }
  const bool written = flushed && fchmod(fd, ModeForTarget(path)) == 0 && fsync(fd) == 0;
  if (flushed) writeError = errno;
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

bool MoveFileBytes(std::FILE* file, std::uint64_t from, std::uint64_t to) {
  const int fd = fileno(file);
  struct stat st {};
  if (std::fflush(file) != 0 || fstat(fd, &st) != 0) return false;
  const off_t start = static_cast<off_t>(from);
  const off_t size = std::max<off_t>(st.st_size - start, 0);
  const off_t end = static_cast<off_t>(to) + size;
  // Moved up, the file is made its new length first, so that it ends after the bytes
  // even when there are none; moved down, it is cut after them.
  const bool moved = (end <= st.st_size || ftruncate(fd, end) == 0) &&
                     MoveBytes(fd, start, size, static_cast<off_t>(to)) &&
                     (end >= st.st_size || ftruncate(fd, end) == 0);
  return moved && std::fseek(file, 0, SEEK_END) == 0;
}

bool StartWriteOut(std::FILE* file, std::uint64_t from, std::uint64_t to) {
  if (std::fflush(file) != 0) return false;
  // Linux alone has the call; a sync waits for every byte either way.
#ifdef SYNC_FILE_RANGE_WRITE
  if (to > from) {
    sync_file_range(fileno(file), static_cast<off_t>(from), static_cast<off_t>(to - from), SYNC_FILE_RANGE_WRITE);
  }
#endif
  return true;
}

void PutFileInPlace(std::FILE* file, const OwnFolder& folder, const std::string& name,
                    std::span<const std::uint8_t> head, const std::string& path, const StopCheck& stop) {
  const std::string target = OutputFileTarget(path);
  const int fd = fileno(file);
  const bool whole = std::fflush(file) == 0 && WriteAllAt(fd, head.data(), head.size(), 0);
  if (!whole) Fail(path, errno);
  StopWhenAsked(stop);
  if (fchmod(fd, ModeForTarget(target)) != 0 || fsync(fd) != 0) Fail(path, errno);
  if (const auto failure = folder.Rename(name, std::filesystem::path(target).filename().string())) failure->Throw(path);
}

}  // namespace kelvane
