#include "pdb/race_database_reader.h"

#include <gtest/gtest.h>

#include "support/in_memory_database.h"

namespace kelvane {
namespace {

Bytes RecordWithRunners(int runners, int raceNumber) {
  Race race;
  race.runnerCount = runners;
  race.raceNumber = raceNumber;
  Bytes record;
  AppendRacePart(record, race, true);
  for (int k = 1; k <= runners; ++k) AppendRunnerPart(record, race, k, Runner{});
  return record;
}

TEST(ReadRaceDatabase, ReadsBackEveryRecordOfAWrittenDatabase) {
  test::InMemoryDatabase db(0xC1234567);
  const std::vector<Bytes> records{RecordWithRunners(0, 1), RecordWithRunners(3, 2),
                                   RecordWithRunners(1, 3)};
  for (const auto& record : records) db.AddRecord(record);

  std::string problem;
  const auto read = ReadRaceDatabase(db.Serialize(), problem);
  ASSERT_TRUE(read) << problem;
  EXPECT_EQ(problem, "");
  EXPECT_EQ(read->name, "tzQm_DB");
  EXPECT_EQ(read->creationDate, 0xC1234567u);
  ASSERT_EQ(read->races.size(), 3u);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(read->races[i], DecodeRaceRecord(records[i]).value());
  }
}

TEST(ReadRaceDatabase, EmptyDatabaseHasNoRaces) {
  std::string problem = "stale";
  const auto read = ReadRaceDatabase(test::InMemoryDatabase().Serialize(), problem);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->races.empty());
  EXPECT_EQ(problem, "");
}

// A database of three races, of 3, 0 and 18 runners, and its records.
struct ThreeRaces {
  std::vector<Bytes> records{RecordWithRunners(3, 1), RecordWithRunners(0, 2),
                             RecordWithRunners(18, 3)};
  Bytes file = [this] {
    test::InMemoryDatabase db(0);
    for (const auto& record : records) db.AddRecord(record);
    return db.Serialize();
  }();
  std::size_t bytesRead = 0;
  // Reads `file` as it is at the time of each read, counting the bytes.
  ByteReader Reader() {
    return [this](std::uint64_t offset, std::span<std::uint8_t> out) {
      bytesRead += out.size();
      return MemoryReader(file)(offset, out);
    };
  }
};

TEST(RaceDatabaseFile, OpensOnTheRacePartsAndReadsARecordsRunnersWhenAsked) {
  ThreeRaces db;
  DatabaseProblem problem;
  const auto opened = RaceDatabaseFile::Open(db.Reader(), db.file.size(), problem);
  ASSERT_TRUE(opened) << problem.text;
  EXPECT_EQ(db.bytesRead, kHeaderSize + 3 * kRecordEntrySize + 3 * kRacePartSize);
  ASSERT_EQ(opened->RaceCount(), 3u);
  EXPECT_EQ(opened->Race(2), DecodeRaceRecord(db.records[2])->race);

  db.bytesRead = 0;
  EXPECT_EQ(opened->ReadRecord(2), DecodeRaceRecord(db.records[2]));
  EXPECT_EQ(db.bytesRead, db.records[2].size());
}

TEST(RaceDatabaseFile, ARecordChangedOrCutAfterOpeningReadsAsNothing) {
  ThreeRaces db;
  DatabaseProblem problem;
  const auto opened = RaceDatabaseFile::Open(db.Reader(), db.file.size(), problem);
  ASSERT_TRUE(opened);
  const std::size_t second = kHeaderSize + 3 * kRecordEntrySize + kGapAfterEntries +
                             db.records[0].size() + kPadAfterRecord;
  db.file[second + 2] ^= 0xFF;  // another race's date in the place of the second
  EXPECT_EQ(opened->ReadRecord(1), std::nullopt);
  db.file.resize(db.file.size() - 10);
  EXPECT_EQ(opened->ReadRecord(2), std::nullopt);
  EXPECT_TRUE(opened->ReadRecord(0));
}

TEST(RaceDatabaseFile, SaysWhichRecordIsWrong) {
  const auto problemOf = [](Bytes file) {
    DatabaseProblem problem;
    EXPECT_FALSE(RaceDatabaseFile::Open(MemoryReader(file), file.size(), problem));
    return std::pair(problem.kind, problem.record);
  };
  using Kind = DatabaseProblem::Kind;
  ThreeRaces db;
  Bytes misplaced = db.file;
  std::copy_n(misplaced.begin() + kHeaderSize, 4, misplaced.begin() + kHeaderSize + 2 * kRecordEntrySize);
  EXPECT_EQ(problemOf(misplaced), std::pair(Kind::kOffsetsOutOfOrder, std::size_t{3}));
  Bytes recounted = db.file;
  recounted[kHeaderSize + 3 * kRecordEntrySize + kGapAfterEntries + kRunCountAt] = 4;
  EXPECT_EQ(problemOf(recounted), std::pair(Kind::kRecordLength, std::size_t{1}));
  EXPECT_EQ(problemOf(Bytes(db.file.begin(), db.file.begin() + 90)), std::pair(Kind::kTooShort, std::size_t{0}));
  DatabaseProblem unreadable;
  EXPECT_FALSE(RaceDatabaseFile::Open([](std::uint64_t, std::span<std::uint8_t>) { return false; },
                                      db.file.size(), unreadable));
  EXPECT_EQ(unreadable.kind, Kind::kUnreadable);
}

}  // namespace
}  // namespace kelvane
