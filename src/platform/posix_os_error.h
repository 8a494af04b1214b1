#pragma once

// OS error numbers as the platform's code meets them, turned into the failures the
// rest of the system knows (file_error.h). Only the platform's own files include this.

#include <string>

#include "platform/file_error.h"

namespace kelvane {

// Throws what the OS error `osError` at `place` stands for, as OsFailure::Throw does.
[[noreturn]] inline void ThrowFileError(int osError, const std::string& place) {
  OsFailure::Reported(osError).Throw(place);
}

}  // namespace kelvane
