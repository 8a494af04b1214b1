#pragma once

#include <optional>

#include "platform/file_error.h"

namespace kelvane {

// Makes sure descriptors 0, 1 and 2 are open, before anything else is opened: one that
// is closed is opened on /dev/null the other way round (standard input for writing,
// standard output and error for reading). Then no file the program opens takes the
// number of a standard stream (messages never land in a database), and every use of
// a stream that was closed fails instead of vanishing unseen.
void EnsureStandardDescriptors();

// Flushes and closes standard output, as a program does last: nothing when everything
// written to it arrived; else what failed (a reason unknown when a write failed
// earlier and its reason is gone).
std::optional<OsFailure> CloseStandardOutput();

}  // namespace kelvane
