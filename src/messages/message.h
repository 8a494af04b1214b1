#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace kelvane {

// What a message is about, as far as the operation that failed knows it. Each layer
// fills in what it knows: extraction the archive, the race card reader the race, the
// record assembly the runner; the run puts the archive in front of all of them.
struct MessagePlace {
  std::string archive{};  // the archive as it was listed or named; empty: not known
  // The race, by its line in the race card (from 1); 0: not about a race.
  int cardRace = 0;
  // What identifies the race, as far as it was read (0 or empty where not).
  int year = 0;
  int monthDay = 0;             // MMDD
  std::string racecourseName{};   // CP932, as the race card's code renders it
  int raceNumber = 0;           // the race's number on its day
  // The runner, by its entry number (1..18); 0: not about a runner.
  int entry = 0;
  std::string horseId{};  // the horse's registration number, as the race card gives it

  bool operator==(const MessagePlace&) const = default;
};

// One message: a fixed text of the system (UTF-8; a two-line text has CR LF between
// its lines) and where it happened.
struct Message {
  Message(std::string fixedText, MessagePlace where = {})
      : text(std::move(fixedText)), place(std::move(where)) {}

  std::string text;
  MessagePlace place;

  bool operator==(const Message&) const = default;
};

// `text` with its first `placeholder` ("%s", "%1") replaced by `value`.
std::string WithValue(std::string text, std::string_view placeholder, std::string_view value);

// A name (a file name, a path, an argument) as a message shows it: valid UTF-8 as it
// is, but a backslash doubled and control characters and bytes that are not UTF-8
// written as escapes ("\n", "\t", "\x1b", "\xe9"), so that a message stays one line of
// UTF-8 and nothing in a name reaches the terminal as a command.
std::string EscapedName(std::string_view name);

// Where operations that fail tell the person what went wrong. The window shows each
// message in a message box, the command line on stderr, and tests record them. An
// operation shows its own message and then returns false (or 0).
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const Message& message) = 0;
};

// Passes every message on with the places it leaves open filled from `place`: how
// a layer adds what it knows (the archive, the race) to what the layer below said.
class PlacingSink : public MessageSink {
 public:
  PlacingSink(MessageSink& next, MessagePlace place) : next_(next), place_(std::move(place)) {}
  void ShowMessage(const Message& message) override;

  MessagePlace& place() { return place_; }

 private:
  MessageSink& next_;
  MessagePlace place_;
};

}  // namespace kelvane
