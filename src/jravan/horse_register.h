#pragma once

// A horse register ("JracUmaj.dat") held in memory.
//
// The register is read as a text file of 2881-byte records, each starting with the
// horse's 10-byte registration number. A horse is found by reading the 10-byte key
// at the start of the file and, while it is not the one asked for, skipping 2871
// raw bytes to the next key; the first match wins. The keys visited do not depend
// on the horse asked for, so the register walks its keys once when it is made and
// keeps where each key's record goes on: a lookup then finds the record that the
// walk would have stopped at, without walking again. A record's fields lie after
// its key where the field tables of horse_fields.h put them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "messages/message.h"
#include "jravan/runner.h"

namespace kelvane {

class HorseRegister {
 public:
  explicit HorseRegister(std::string bytes);

  // The register at `path`; nothing, after the message, when it cannot be opened.
  static std::optional<HorseRegister> Open(const std::string& path, MessageSink& messages);

  // The raw offset just after the key of the first record whose key, as a C string,
  // equals `horseId` as a C string; nothing when the walk reaches the end of the file
  // without finding it.
  std::optional<std::size_t> FindRecord(std::string_view horseId) const;

  // Fills `runner` from the record of `horseId` and rates it; `raceYear` gives the
  // age. When the register holds no such record, or the file ends before the last
  // field the record is read for (a record cut short), or those fields hold control
  // characters other than NUL (binary junk), shows the read failure and returns
  // false with `runner` fresh, as constructed.
  bool ReadHorseRecord(std::string_view horseId, int raceYear, Runner& runner,
                  MessageSink& messages) const;

 private:
  // Reads the record whose fields start at `afterKey` into `runner`; false when the
  // file ends inside the fields read or they are not text.
  bool ReadRecord(std::size_t afterKey, int raceYear, Runner& runner) const;

  std::string bytes_;
  // Each key met by the walk, cut at its first NUL, and the raw offset just after the
  // first key that reads so.
  std::unordered_map<std::string, std::size_t> recordAfterKey_;
};

}  // namespace kelvane
