#include "pdb/race_database_reader.h"

#include <gtest/gtest.h>

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
  PalmDatabase db = PalmDatabase::CreateDefault(0xC1234567);
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
  const auto read = ReadRaceDatabase(PalmDatabase::CreateDefault(0).Serialize(), problem);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->races.empty());
  EXPECT_EQ(problem, "");
}

}  // namespace
}  // namespace kelvane
