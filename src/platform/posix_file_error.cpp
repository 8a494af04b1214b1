#include <cerrno>
#include <cstring>
#include <new>

#include "platform/file_error.h"

namespace kelvane {

OsFailure OsFailure::Last() { return OsFailure(errno); }

OsFailure OsFailure::Reported(int osError) { return OsFailure(osError); }

OsFailure OsFailure::Unknown() { return OsFailure(0); }

FileErrorCause OsFailure::cause() const {
  switch (osError_) {
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

std::string OsFailure::reason() const { return osError_ != 0 ? std::strerror(osError_) : ""; }

bool OsFailure::IsMachineFailure() const {
  switch (osError_) {
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

void OsFailure::Throw(const std::string& place) const {
  if (osError_ == ENOMEM) throw std::bad_alloc();
  throw FileError(*this, place);
}

void OsFailure::ThrowIfMachineFailure(const std::string& place) const {
  if (IsMachineFailure()) Throw(place);
}

FileError::FileError(const OsFailure& failure, std::string path)
    : std::runtime_error("cannot write " + path), failure_(failure), path_(std::move(path)) {}

}  // namespace kelvane
