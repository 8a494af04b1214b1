#pragma once

#include <stdexcept>
#include <string>

namespace kelvane {

// Why a file or folder could not be made, read or written. Each cause has its own
// text for the person (see FileErrorText in the app); only causes an OS error leads
// to are here.
enum class FileErrorCause {
  kUnspecified,
  kInvalidPath,
  kTooManyOpenFiles,
  kAccessDenied,
  kInvalidFileHandle,
  kHardwareIo,
  kDiskFull,
};

// The machine failed a run: the output could not be written, or the working area
// could not be made, written or read. Carries the place that failed.
class FileError : public std::runtime_error {
 public:
  FileError(FileErrorCause cause, std::string path, int osError = 0);

  FileErrorCause cause() const { return cause_; }
  const std::string& path() const { return path_; }
  int osError() const { return osError_; }

 private:
  FileErrorCause cause_;
  std::string path_;
  int osError_;
};

// The cause a failed file operation stands for, from the OS error number.
FileErrorCause CauseOfOsError(int osError);

// True when the OS error says the machine ran short or failed (no space, a quota or
// size limit, too many open files, no memory, an I/O error) rather than anything about
// the file's contents: what fails for that reason fails the run, not one archive.
bool IsMachineFailure(int osError);

// Throws what the OS error `osError` at `path` stands for: std::bad_alloc when memory
// ran out, else FileError.
[[noreturn]] void ThrowFileError(int osError, const std::string& path);

}  // namespace kelvane
