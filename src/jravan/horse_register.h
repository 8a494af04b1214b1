#pragma once

// A horse register ("JracUmaj.dat") held in memory.
//
// The register is read as a text file of 2881-byte records, each starting with the
// horse's 10-byte registration number. A horse is found by reading the 10-byte key
// at the start of the file and, while it is not the one asked for, skipping 2871
// raw bytes to the next key; the first match wins. The keys visited do not depend
// on the horse asked for, so an index built from one walk would find the same
// records.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "jravan/message_sink.h"
#include "jravan/runner.h"

namespace kelvane {

class HorseRegister {
 public:
  explicit HorseRegister(std::string bytes) : bytes_(std::move(bytes)) {}

  // The register at `path`; nothing, after the message, when it cannot be opened.
  static std::optional<HorseRegister> Open(const std::string& path, MessageSink& messages);

  // The raw offset just after the key of the first record whose key, as a C string,
  // equals `horseId`; nothing when the walk reaches the end of the file.
  std::optional<std::size_t> FindRecord(std::string_view horseId) const;

  // Fills `runner` from the record of `horseId` and rates it; `raceYear` gives the
  // age. When the register holds no such record, or the file ends before the last
  // field the record is read for (a record cut short), or those fields hold control
  // characters other than NUL (binary junk), shows the read failure and returns
  // false with `runner` fresh, as constructed.
  bool ReadRunner(std::string_view horseId, int raceYear, Runner& runner,
                  MessageSink& messages) const;

 private:
  // Reads the record whose fields start at `afterKey` into `runner`; false when the
  // file ends inside the fields read or they are not text.
  bool ReadRecord(std::size_t afterKey, int raceYear, Runner& runner) const;

  std::string bytes_;
};

}  // namespace kelvane
