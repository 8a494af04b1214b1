#include "pdb/race_database_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "pdb/big_endian.h"

namespace kelvane {
namespace {

using Kind = DatabaseProblem::Kind;

std::string Decimal(std::uint64_t value) { return std::to_string(value); }

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

DatabaseProblem Unreadable(std::uint64_t offset, std::size_t size) {
  return {Kind::kUnreadable, 0,
          "cannot read " + Decimal(size) + " bytes at byte " + Decimal(offset)};
}

// `part` holds the first bytes of a record of `size` bytes, up to its whole race part.
std::string RecordLengthProblem(std::size_t number, std::size_t size,
                                std::span<const std::uint8_t> part) {
  const std::string start = "record " + Decimal(number) + " is " + Decimal(size) + " bytes long, ";
  if (size < kRacePartSize) {
    return start + "shorter than the " + Decimal(kRacePartSize) + "-byte race part";
  }
  const std::size_t runners = part[kRunCountAt];
  return start + "but its runner count " + Decimal(runners) + " needs " +
         Decimal(kRacePartSize) + " + " + Decimal(kRunnerPartSize) + " x " + Decimal(runners) +
         " = " + Decimal(RaceRecordSize(runners));
}

// The file offset of every record of the record list `entries`, each after the list
// (which ends at `listEnd`) and after the one before it, and inside the file of
// `size` bytes; or the problem with them.
std::optional<std::vector<std::uint64_t>> RecordOffsets(std::span<const std::uint8_t> entries,
                                                        std::size_t listEnd, std::uint64_t size,
                                                        DatabaseProblem& problem) {
  std::vector<std::uint64_t> offsets;
  for (std::size_t i = 0; i < entries.size() / kRecordEntrySize; ++i) {
    const std::uint64_t offset = BigEndianAt(entries, kRecordEntrySize * i, 4);
    const std::string where = "record offsets out of order: record " + Decimal(i + 1) +
                              " starts at byte " + Decimal(offset) + ", ";
    std::string wrong;
    if (i == 0 && offset < listEnd) {
      wrong = "inside the record list, which ends at byte " + Decimal(listEnd);
    } else if (i > 0 && offset <= offsets.back()) {
      wrong = "not after record " + Decimal(i) + " at byte " + Decimal(offsets.back());
    } else if (offset >= size) {
      wrong = "past the end of the file (" + Decimal(size) + " bytes)";
    }
    if (!wrong.empty()) {
      problem = {Kind::kOffsetsOutOfOrder, i + 1, where + wrong};
      return std::nullopt;
    }
    offsets.push_back(offset);
  }
  return offsets;
}

RaceDatabase HeaderFields(std::span<const std::uint8_t> header) {
  RaceDatabase db;
  const auto name = header.first(kNameWidth);
  db.name.assign(name.begin(), std::find(name.begin(), name.end(), std::uint8_t{0}));
  const auto type = header.subspan(kTypeAt, 4);
  const auto creator = header.subspan(kCreatorAt, 4);
  db.type.assign(type.begin(), type.end());
  db.creator.assign(creator.begin(), creator.end());
  db.version = static_cast<std::uint16_t>(BigEndianAt(header, kVersionAt, 2));
  db.creationDate = BigEndianAt(header, kCreationDateAt, 4);
  db.modificationDate = BigEndianAt(header, kModificationDateAt, 4);
  db.backupDate = BigEndianAt(header, kBackupDateAt, 4);
  return db;
}

}  // namespace

std::optional<RaceDatabaseFile> RaceDatabaseFile::Open(ByteReader read, std::uint64_t size,
                                                       DatabaseProblem& problem) {
  if (size < kHeaderSize) {
    problem = {Kind::kTooShort, 0,
               "too short: " + Decimal(size) + " bytes, but the header alone takes " +
                   Decimal(kHeaderSize)};
    return std::nullopt;
  }
  std::array<std::uint8_t, kHeaderSize> header{};
  if (!read(0, header)) {
    problem = Unreadable(0, header.size());
    return std::nullopt;
  }
  const auto type = std::span(header).subspan(kTypeAt, 4);
  const auto creator = std::span(header).subspan(kCreatorAt, 4);
  if (!std::equal(type.begin(), type.end(), kDatabaseType.begin()) ||
      !std::equal(creator.begin(), creator.end(), kDatabaseCreator.begin())) {
    problem = {Kind::kWrongTypeOrCreator, 0,
               "wrong type or creator: " + Quoted(type) + " and " + Quoted(creator) +
                   " instead of " + Quoted(AsBytes(kDatabaseType)) + " and " +
                   Quoted(AsBytes(kDatabaseCreator))};
    return std::nullopt;
  }
  const std::size_t count = BigEndianAt(header, kNumRecordsAt, 2);
  const std::size_t listEnd = kHeaderSize + kRecordEntrySize * count + kGapAfterEntries;
  if (size < listEnd) {
    problem = {Kind::kTooShort, 0,
               "too short: " + Decimal(size) + " bytes, but its record list ends at byte " +
                   Decimal(listEnd)};
    return std::nullopt;
  }
  std::vector<std::uint8_t> entries(kRecordEntrySize * count);
  if (!read(kHeaderSize, entries)) {
    problem = Unreadable(kHeaderSize, entries.size());
    return std::nullopt;
  }
  const auto offsets = RecordOffsets(entries, listEnd, size, problem);
  if (!offsets) return std::nullopt;

  RaceDatabaseFile db(std::move(read), HeaderFields(header));
  if (!db.ReadRaceParts(*offsets, size, problem)) return std::nullopt;
  return db;
}

// Every record's length is checked against the runner count of its race part.
bool RaceDatabaseFile::ReadRaceParts(const std::vector<std::uint64_t>& offsets,
                                     std::uint64_t size, DatabaseProblem& problem) {
  places_.reserve(offsets.size());
  races_.reserve(offsets.size());
  std::array<std::uint8_t, kRacePartSize> part{};
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    const std::uint64_t end = i + 1 < offsets.size() ? offsets[i + 1] : size;
    const std::size_t recordSize = end - kPadAfterRecord - offsets[i];
    const auto read = std::span(part).first(std::min(recordSize, kRacePartSize));
    if (!read_(offsets[i], read)) {
      problem = Unreadable(offsets[i], read.size());
      return false;
    }
    if (recordSize < kRacePartSize || recordSize != RaceRecordSize(part[kRunCountAt])) {
      problem = {Kind::kRecordLength, i + 1, RecordLengthProblem(i + 1, recordSize, part)};
      return false;
    }
    places_.push_back({offsets[i], recordSize});
    races_.push_back(DecodeRacePart(part));
  }
  return true;
}

std::optional<RaceRecord> RaceDatabaseFile::ReadRecord(std::size_t index) const {
  std::vector<std::uint8_t> bytes(places_[index].size);
  if (!read_(places_[index].offset, bytes)) return std::nullopt;
  auto record = DecodeRaceRecord(bytes);
  if (!record || record->race != races_[index]) return std::nullopt;
  return record;
}

ByteReader MemoryReader(std::span<const std::uint8_t> bytes) {
  return [bytes](std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > bytes.size() || out.size() > bytes.size() - offset) return false;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
  };
}

std::optional<RaceDatabase> ReadRaceDatabase(std::span<const std::uint8_t> file,
                                             std::string& problem) {
  DatabaseProblem found;
  const auto opened = RaceDatabaseFile::Open(MemoryReader(file), file.size(), found);
  if (!opened) {
    problem = found.text;
    return std::nullopt;
  }
  problem.clear();
  RaceDatabase db = opened->header();
  db.races.reserve(opened->RaceCount());
  // The bytes are all in memory and every record's length was checked: each reads.
  for (std::size_t i = 0; i < opened->RaceCount(); ++i) db.races.push_back(opened->ReadRecord(i).value());
  return db;
}

std::string NotARaceDatabaseText(const std::string& path, const std::string& problem) {
  return path + " is not a race database written by Kelvane: " + problem;
}

}  // namespace kelvane
