#include "platform/file_error.h"

#include <cerrno>

namespace kelvane {

FileError::FileError(FileErrorCause cause, std::string path, int osError)
    : std::runtime_error("cannot write " + path),
      cause_(cause),
      path_(std::move(path)),
      osError_(osError) {}

FileErrorCause CauseOfOsError(int osError) {
  switch (osError) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return FileErrorCause::kInvalidPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return FileErrorCause::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return FileErrorCause::kDiskFull;
    case EMFILE:
    case ENFILE:
      return FileErrorCause::kTooManyOpenFiles;
    case EIO:
      return FileErrorCause::kHardwareIo;
    default:
      return FileErrorCause::kUnspecified;
  }
}

}  // namespace kelvane
