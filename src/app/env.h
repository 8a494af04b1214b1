#pragma once

#include <ctime>
#include <string>

#include "jravan/message_sink.h"

namespace kelvane {

// The platform seams of a conversion run: everything it needs from the user
// interface, the shell and the clock. The window, the command line and the tests
// each give their own.
class Env : public MessageSink {
 public:
  // The output could not be written: `text` names the cause and the path. The window
  // shows it with the stop icon.
  virtual void ShowFileError(const std::string& text) = 0;
  // Hands the written database to whatever the desktop opens such files with.
  virtual void OpenWithShell(const std::string& path) = 0;
  // The current time, for the database dates.
  virtual std::time_t Now() = 0;
};

// The current time, or the instant that SOURCE_DATE_EPOCH names when it is set, so
// that a conversion can be repeated byte for byte.
std::time_t SystemNow();

}  // namespace kelvane
