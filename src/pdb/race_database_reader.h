#pragma once

// Reads back a race database as Kelvane writes it: the Palm database header with type
// "Data" and creator "tzQm", one entry per record whose offsets follow the records in
// file order, and records that are each a race record (race_record.h), one 0x00 byte
// after every record. Anything else is refused with a sentence that names what is
// wrong, so that a person can tell a truncated or foreign file from a good one.

#include <cstdint>
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

// Decodes the bytes of a whole database file. When they are not a race database,
// returns nothing and sets `problem` to what is wrong, e.g. "too short: 40 bytes,
// but the header alone takes 78".
std::optional<RaceDatabase> ReadRaceDatabase(std::span<const std::uint8_t> file,
                                             std::string& problem);

// How a refused file is reported: "<path> is not a race database written by
// Kelvane: <problem>".
std::string NotARaceDatabaseText(const std::string& path, const std::string& problem);

}  // namespace kelvane
