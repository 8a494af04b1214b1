#include "pdb/race_database_reader.h"

#include <algorithm>
#include <cstdio>

#include "pdb/big_endian.h"

namespace kelvane {
namespace {

std::string Decimal(std::size_t value) { return std::to_string(value); }

// Four header bytes in quotes, with bytes that are not printable ASCII as \xNN.
std::string Quoted(std::span<const std::uint8_t> bytes) {
  std::string text = "\"";
  for (std::uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
      text += static_cast<char>(b);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
      text += escaped;
    }
  }
  return text + "\"";
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string RecordLengthProblem(std::size_t number, std::span<const std::uint8_t> record) {
  const std::string start =
      "record " + Decimal(number) + " is " + Decimal(record.size()) + " bytes long, ";
  if (record.size() < kRacePartSize) {
    return start + "shorter than the " + Decimal(kRacePartSize) + "-byte race part";
  }
  const std::size_t runners = record[kRunCountAt];
  return start + "but its runner count " + Decimal(runners) + " needs " +
         Decimal(kRacePartSize) + " + " + Decimal(kRunnerPartSize) + " x " + Decimal(runners) +
         " = " + Decimal(RaceRecordSize(runners));
}

// The file offset of every record, each after the record list and after the one
// before it, and inside the file; or the problem with them.
std::optional<std::vector<std::size_t>> RecordOffsets(std::span<const std::uint8_t> file,
                                                      std::size_t count, std::size_t listEnd,
                                                      std::string& problem) {
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t offset = BigEndianAt(file, kHeaderSize + kRecordEntrySize * i, 4);
    const std::string where = "record offsets out of order: record " + Decimal(i + 1) +
                              " starts at byte " + Decimal(offset) + ", ";
    if (i == 0 && offset < listEnd) {
      problem = where + "inside the record list, which ends at byte " + Decimal(listEnd);
    } else if (i > 0 && offset <= offsets.back()) {
      problem = where + "not after record " + Decimal(i) + " at byte " + Decimal(offsets.back());
    } else if (offset >= file.size()) {
      problem = where + "past the end of the file (" + Decimal(file.size()) + " bytes)";
    }
    if (!problem.empty()) return std::nullopt;
    offsets.push_back(offset);
  }
  return offsets;
}

}  // namespace

std::optional<RaceDatabase> ReadRaceDatabase(std::span<const std::uint8_t> file,
                                             std::string& problem) {
  problem.clear();
  if (file.size() < kHeaderSize) {
    problem = "too short: " + Decimal(file.size()) + " bytes, but the header alone takes " +
              Decimal(kHeaderSize);
    return std::nullopt;
  }
  const auto type = file.subspan(kTypeAt, 4);
  const auto creator = file.subspan(kCreatorAt, 4);
  if (!std::equal(type.begin(), type.end(), kDatabaseType.begin()) ||
      !std::equal(creator.begin(), creator.end(), kDatabaseCreator.begin())) {
    problem = "wrong type or creator: " + Quoted(type) + " and " + Quoted(creator) +
              " instead of " + Quoted(AsBytes(kDatabaseType)) + " and " +
              Quoted(AsBytes(kDatabaseCreator));
    return std::nullopt;
  }
  const std::size_t count = BigEndianAt(file, kNumRecordsAt, 2);
  const std::size_t listEnd = kHeaderSize + kRecordEntrySize * count + kGapAfterEntries;
  if (file.size() < listEnd) {
    problem = "too short: " + Decimal(file.size()) + " bytes, but its record list ends at byte " +
              Decimal(listEnd);
    return std::nullopt;
  }
  const auto offsets = RecordOffsets(file, count, listEnd, problem);
  if (!offsets) return std::nullopt;

  RaceDatabase db;
  const auto name = file.first(kNameWidth);
  db.name.assign(name.begin(), std::find(name.begin(), name.end(), std::uint8_t{0}));
  db.type.assign(type.begin(), type.end());
  db.creator.assign(creator.begin(), creator.end());
  db.version = static_cast<std::uint16_t>(BigEndianAt(file, kVersionAt, 2));
  db.creationDate = BigEndianAt(file, kCreationDateAt, 4);
  db.modificationDate = BigEndianAt(file, kModificationDateAt, 4);
  db.backupDate = BigEndianAt(file, kBackupDateAt, 4);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t end = i + 1 < count ? (*offsets)[i + 1] : file.size();
    const auto record = file.subspan((*offsets)[i], end - kPadAfterRecord - (*offsets)[i]);
    auto race = DecodeRaceRecord(record);
    if (!race) {
      problem = RecordLengthProblem(i + 1, record);
      return std::nullopt;
    }
    db.races.push_back(std::move(*race));
  }
  return db;
}

std::string NotARaceDatabaseText(const std::string& path, const std::string& problem) {
  return path + " is not a race database written by Kelvane: " + problem;
}

}  // namespace kelvane
