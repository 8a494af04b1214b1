#pragma once

// A race card ("JracDen1.dat") held in memory.
//
// The card is read as a text file, one race per line. Lines are found the way a
// line reader with a buffer of 1464 bytes finds them: each read takes at most 1463
// characters, up to and including LF, so a line longer than that counts as more
// than one line. Race j starts where the first j - 1 line reads ended; its fields
// lie where the field tables of race_fields.h put them. They must all lie within
// the line and be text: a line too short for its race part and its entries, or one
// whose fields hold control characters other than NUL (binary junk), fails to read,
// rather than taking its fields from the next line or turning junk into a race.
//
// The card is scanned for its lines once, so every race of it can be read without
// reading the file again.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "messages/message.h"
#include "jravan/race.h"

namespace kelvane {

// Where a message about race `cardRace` of a card is: the race's line and, as far as
// `race` holds them, its date, racecourse and number.
MessagePlace PlaceOf(int cardRace, const Race& race);

// How many races a card of `size` bytes holds when it is as the files have it: lines
// of one race each, all of full width and ending in CR LF. Nothing for a card of any
// other size, whose races only its lines tell.
std::optional<std::size_t> RacesOfFullLines(std::uint64_t size);

class RaceCard {
 public:
  // `path` is where the bytes came from and `horseFilePath` the horse register of the
  // same archive; every race read names both.
  RaceCard(std::string path, std::string bytes, std::string horseFilePath = {});

  // The card at `path`; nothing, after the message, when it cannot be opened.
  static std::optional<RaceCard> Open(const std::string& path, const std::string& horseFilePath,
                                      MessageSink& messages);

  // The number of line reads the card takes: the number of its races.
  int CountRaces() const { return static_cast<int>(lineEnds_.size()); }

  // Fills `race` with race `raceNumber` (from 1). When the card holds no line for
  // that race, or a line too short for it or not text, shows the read failure and
  // returns false with `race` fresh, as constructed.
  bool ReadRace(int raceNumber, Race& race, MessageSink& messages) const;

  // Whether race `raceNumber` reads, as ReadRace finds, without taking its fields.
  bool Reads(int raceNumber) const;

 private:
  // The raw end of the line that starts at `start` and whose read ended at `readEnd`,
  // without its line end.
  std::size_t ContentEnd(std::size_t start, std::size_t readEnd) const;
  // The line of race `raceNumber` without its line end; nothing when the card holds
  // no byte of it.
  std::optional<std::string_view> Line(int raceNumber) const;
  // Reads the race of `line` into `race`; false when the line ends before the race's
  // last field or is not text.
  bool ReadLine(std::string_view line, Race& race) const;

  std::string path_;
  std::string horseFilePath_;
  std::string bytes_;
  std::vector<std::size_t> lineEnds_;  // raw offset after each line read
};

}  // namespace kelvane
