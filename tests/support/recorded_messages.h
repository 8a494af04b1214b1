#pragma once

#include <string>
#include <vector>

#include "messages/message.h"

namespace kelvane::test {

// Records what is shown, in order: the texts and their places.
class RecordedMessages : public MessageSink {
 public:
  void ShowMessage(const Message& message) override {
    messages.push_back(message.text);
    places.push_back(message.place);
  }
  std::vector<std::string> messages;
  std::vector<MessagePlace> places;
};

}  // namespace kelvane::test
