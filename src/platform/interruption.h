#pragma once

namespace kelvane {

// From now on SIGINT, SIGTERM and SIGHUP are noted instead of ending the process, so
// that a run can end cleanly: it asks CaughtInterruption() at each step and removes
// what it made. SIGPIPE is ignored (a closed pipe is a write error) and so is SIGXFSZ
// (a file size limit is a write error too).
void CatchInterruptions();

// The first of those signals caught, or 0.
int CaughtInterruption();

// Makes a signal noted as if it had been caught (for the window's Cancel and tests).
void NoteInterruption(int signalNumber);

// Stops noting signals caught so far: the next run starts clean.
void ForgetInterruption();

// Ignores SIGXFSZ only: a file size limit then arrives as a write error (EFBIG), not
// as a killed process.
void IgnoreFileSizeSignal();

}  // namespace kelvane
