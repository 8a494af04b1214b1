#pragma once

#include <cstddef>
#include <ctime>
#include <string>

#include "messages/message.h"

namespace kelvane {

// The platform seams of a conversion run: everything it needs from the user
// interface, the shell and the clock. The window, the command line and the tests
// each give their own. The run may call them from a thread other than the one that
// started it (the window runs it off its user-interface thread), one call at a time.
class Env : public MessageSink {
 public:
  // The output could not be written: `text` names the cause and the path. The window
  // shows it with the stop icon.
  virtual void ShowFileError(const std::string& text) = 0;
  // Hands the written database to whatever the desktop opens such files with.
  virtual void OpenWithShell(const std::string& path) = 0;
  // The current time, for the database dates.
  virtual std::time_t Now() = 0;
  // The run is about to read archive `index` (from 0) of `count`, as it was listed.
  virtual void ShowProgress(std::size_t /*index*/, std::size_t /*count*/,
                            const std::string& /*archive*/) {}
  // True once the run is asked to stop (a signal, the window's Cancel). The run then
  // ends at the next archive, race or record it comes to: it writes nothing, leaves an
  // existing output as it was and removes its working files.
  virtual bool StopRequested() { return false; }
};

}  // namespace kelvane
