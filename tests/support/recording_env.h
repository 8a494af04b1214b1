#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "app/env.h"

namespace kelvane::test {

// An Env that records what a run shows and opens, with a fixed clock.
class RecordingEnv : public Env {
 public:
  void ShowMessage(const Message& message) override {
    messages.push_back(message.text);
    places.push_back(message.place);
  }
  void ShowFileError(const std::string& text) override { fileErrors.push_back(text); }
  void OpenWithShell(const std::string& path) override { opened.push_back(path); }
  std::time_t Now() override { return now; }

  std::vector<std::string> messages;
  std::vector<MessagePlace> places;
  std::vector<std::string> fileErrors;
  std::vector<std::string> opened;
  std::time_t now = 1700000000;
};

}  // namespace kelvane::test
