#include <csignal>
#include <initializer_list>

#include "platform/interruption.h"

namespace kelvane {
namespace {

volatile std::sig_atomic_t caught = 0;

// Only notes the signal: the run sees it at its next step and cleans up itself.
extern "C" void NoteSignal(int signalNumber) {
  if (caught == 0) caught = signalNumber;
}

}  // namespace

void CatchInterruptions() {
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // reads and writes go on; the run looks at the flag
  for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  IgnoreFileSizeSignal();
}

int CaughtInterruption() { return caught; }

void NoteInterruption(int signalNumber) { NoteSignal(signalNumber); }

void ForgetInterruption() { caught = 0; }

void IgnoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace kelvane
