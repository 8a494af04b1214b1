#pragma once

// Reads back a race database as Kelvane writes it: the Palm database header with type
// "Data" and creator "tzQm", one entry per record whose offsets follow the records in
// file order, and records that are each a race record (race_record.h), one 0x00 byte
// after every record. Anything else is refused with a sentence that names what is
// wrong, so that a person can tell a truncated or foreign file from a good one.
//
// A database can be read whole, or opened race by race: then only the header, the
// record list and each record's race part are read and checked at first, and a
// race's runners when they are asked for, so that a viewer of a season's database
// holds its races but not the runners of all of them.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pdb/race_record.h"

namespace kelvane {

struct RaceDatabase {
  std::string name;                  // the header's name, up to its first zero byte
  std::string type;                  // the header's four bytes: "Data"
  std::string creator;               // "tzQm"
  std::uint16_t version = 0;
  std::uint32_t creationDate = 0;    // Palm seconds
  std::uint32_t modificationDate = 0;
  std::uint32_t backupDate = 0;
  std::vector<RaceRecord> races;     // in record order
};

// Why a file is not a race database.
struct DatabaseProblem {
  enum class Kind {
    kTooShort,            // for its header or its record list
    kWrongTypeOrCreator,
    kOffsetsOutOfOrder,   // a record starts inside the list, before the one before it, or past the end
    kRecordLength,        // not 152 + 1116 x its runner count
    kUnreadable,          // the bytes could not be read
  };
  Kind kind = Kind::kTooShort;
  std::size_t record = 0;  // the record it is about, from 1; 0: the file as a whole
  // What is wrong, in a sentence, e.g. "too short: 40 bytes, but the header alone
  // takes 78".
  std::string text;
};

// Reads `out.size()` bytes of a file from `offset` into `out`; false when they cannot
// all be read.
using ByteReader = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

// A race database opened race by race through a ByteReader.
class RaceDatabaseFile {
 public:
  // Opens the `size` bytes that `read` reads. When they are not a race database or
  // cannot be read, returns nothing and sets `problem`.
  static std::optional<RaceDatabaseFile> Open(ByteReader read, std::uint64_t size,
                                              DatabaseProblem& problem);

  // The header's fields; its races are not read here.
  const RaceDatabase& header() const { return header_; }
  std::size_t RaceCount() const { return races_.size(); }
  // The race part of record `index` (from 0).
  const RacePart& Race(std::size_t index) const { return races_[index]; }
  // Record `index` whole, its runners read now; nothing when its bytes can no longer
  // be read as they were when the file was opened.
  std::optional<RaceRecord> ReadRecord(std::size_t index) const;

 private:
  struct Place {
    std::uint64_t offset;
    std::size_t size;
  };

  RaceDatabaseFile(ByteReader read, RaceDatabase header)
      : read_(std::move(read)), header_(std::move(header)) {}
  bool ReadRaceParts(const std::vector<std::uint64_t>& offsets, std::uint64_t size,
                     DatabaseProblem& problem);

  ByteReader read_;
  RaceDatabase header_;
  std::vector<Place> places_;
  std::vector<RacePart> races_;
};

// A ByteReader over bytes in memory, which must outlive it.
ByteReader MemoryReader(std::span<const std::uint8_t> bytes);

// Decodes the bytes of a whole database file. When they are not a race database,
// returns nothing and sets `problem` to what is wrong.
std::optional<RaceDatabase> ReadRaceDatabase(std::span<const std::uint8_t> file,
                                             std::string& problem);

// How a refused file is reported: "<path> is not a race database written by
// Kelvane: <problem>".
std::string NotARaceDatabaseText(const std::string& path, const std::string& problem);

}  // namespace kelvane
