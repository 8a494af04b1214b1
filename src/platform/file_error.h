#pragma once

#include <stdexcept>
#include <string>

namespace kelvane {

// Why the database file could not be written. The causes follow the file errors a
// person is told about; each has its own text (see FileErrorText in the app).
enum class FileErrorCause {
  kUnspecified,
  kFileNotFound,
  kInvalidPath,
  kTooManyOpenFiles,
  kAccessDenied,
  kInvalidFileHandle,
  kCurrentFolderNotRemovable,
  kFolderFull,
  kSeekFailed,
  kHardwareIo,
  kSharingViolation,
  kLockViolation,
  kDiskFull,
  kAccessPastEnd,
};

// Raised by PalmDatabase::Write when the output cannot be created or written whole.
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

}  // namespace kelvane
