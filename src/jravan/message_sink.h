#pragma once

#include <string>

namespace kelvane {

// Where operations that fail tell the person what went wrong. Every message is one
// UTF-8 text; the window shows it in a message box, the command line on stderr, and
// tests record it. An operation shows its own message and then returns false (or 0).
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace kelvane
