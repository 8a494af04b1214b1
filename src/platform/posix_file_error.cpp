#include "platform/file_error.h"

#include <cerrno>
#include <new>

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
    case ELOOP:
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
    case EBADF:
      return FileErrorCause::kInvalidFileHandle;
    case EIO:
    case EPIPE:
      return FileErrorCause::kHardwareIo;
    default:
      return FileErrorCause::kUnspecified;
  }
}

bool IsMachineFailure(int osError) {
  switch (osError) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EMFILE:
    case ENFILE:
    case ENOMEM:
    case EIO:
      return true;
    default:
      return false;
  }
}

void ThrowFileError(int osError, const std::string& path) {
  if (osError == ENOMEM) throw std::bad_alloc();
  throw FileError(CauseOfOsError(osError), path, osError);
}

}  // namespace kelvane
