#pragma once

namespace kelvane {

// Makes sure descriptors 0, 1 and 2 are open, before anything else is opened: one that
// is closed is opened on /dev/null the other way round (standard input for writing,
// standard output and error for reading). Then no file the program opens takes the
// number of a standard stream (messages never land in a database), and every use of
// a stream that was closed fails instead of vanishing unseen.
void EnsureStandardDescriptors();

// Flushes and closes standard output, as a program does last: 0 when everything
// written to it arrived; else the OS error number of the write or close that failed,
// or -1 when a write failed earlier and its reason is gone.
int CloseStandardOutput();

}  // namespace kelvane
