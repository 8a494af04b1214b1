#include "pdb/record_assembly.h"

#include <gtest/gtest.h>

#include "codes/cp932.h"
#include "pdb/race_record.h"
#include "messages/texts.h"
#include "support/in_memory_database.h"
#include "support/jravan_builder.h"
#include "support/recorded_messages.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::HorseRecord;
using test::PastRunEntry;
using test::RecordedMessages;
using test::ScopedTempDir;

constexpr const char* kHorseMissing = texts::kHorseNotRead;

// A register horse whose last run (if any) was ridden by `lastJockey` and finished
// `lastPosition`.
HorseRecord Horse(const std::string& key, const std::string& name,
                  const std::string& lastJockey = "", int lastPosition = 0) {
  HorseRecord horse{.key = key, .horseName = name, .birthYear = 2000, .birthMonthDay = "0415"};
  if (!lastJockey.empty()) {
    horse.pastRuns.push_back(PastRunEntry{.year = 2003, .monthDay = 1130, .racecourseCode = "05",
                                          .jockeyName = lastJockey,
                                          .finishPosition = lastPosition});
  }
  return horse;
}

class RecordAssembly : public ::testing::Test {
 protected:
  // Writes the horse register the races read their runners from.
  void WriteRegister(const std::vector<HorseRecord>& horses) {
    test::WriteFileBytes(registerPath_, test::HorseRegisterFile(horses));
  }

  // A race whose entries are the given horses, ridden by the given jockeys.
  Race RaceOf(const std::vector<std::string>& horseIds,
              const std::vector<std::string>& jockeys = {}) const {
    Race race;
    race.year = 2003;
    race.horseFilePath = registerPath_;
    race.runnerCount = static_cast<int>(horseIds.size());
    for (int k = 1; k <= race.runnerCount; ++k) {
      race.horseNumbers[k] = k;
      race.horseIds[k] = horseIds[k - 1];
      const std::string jockey = k <= static_cast<int>(jockeys.size()) ? jockeys[k - 1] : "";
      race.jockeyNames[k] = test::Name(jockey).Render(8);  // padded as on the race card
    }
    return race;
  }

  std::vector<RunnerPart> RunnersOf(std::size_t record) const {
    return DecodeRaceRecord(db_.Record(record)).value().runners;
  }

  ScopedTempDir dir_;
  std::string registerPath_ = dir_ / "JracUmaj.dat";
  test::InMemoryDatabase db_;
  RecordedMessages messages_;
};

TEST_F(RecordAssembly, AddsOneRecordPerRaceInListOrderWithTheAlarmInEveryRecord) {
  WriteRegister({Horse("2000100001", "アルファ"), Horse("2000100002", "ブラボー")});
  const Race twoRunners = RaceOf({"2000100001", "2000100002"});
  const std::vector<Race> races{RaceOf({}), twoRunners, RaceOf({"2000100002"}), twoRunners};

  for (bool alarm : {true, false}) {
    db_ = test::InMemoryDatabase();
    EXPECT_TRUE(test::AssembleRecords(db_, races, alarm, messages_));
    ASSERT_EQ(db_.RecordCount(), races.size());
    EXPECT_EQ(db_.header().GetNumRecords(), races.size());
    for (std::size_t i = 0; i < races.size(); ++i) {
      EXPECT_EQ(db_.Record(i).size(), RaceRecordSize(races[i].runnerCount));
      EXPECT_EQ(db_.Record(i)[48], alarm ? 1 : 0);
    }
    EXPECT_EQ(db_.Record(3), db_.Record(1));  // the same race twice: the same bytes
    EXPECT_EQ(RunnersOf(2)[0].horseName, Utf8ToCp932("ブラボー"));
  }
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(RecordAssembly, MissingHorseStopsThatRaceOnlyAndLeavesFreshRunnersRatedAsTen) {
  WriteRegister({Horse("2000100001", "アルファ"), Horse("2000100003", "チャーリー")});
  const std::vector<Race> races{RaceOf({"2000100001", "2000199999", "2000100003"}, {"青木"}),
                                RaceOf({"2000100003"})};
  EXPECT_TRUE(test::AssembleRecords(db_, races, true, messages_));

  EXPECT_EQ(messages_.messages, std::vector<std::string>{kHorseMissing});  // entry 3 is not read
  const auto runners = RunnersOf(0);
  ASSERT_EQ(runners.size(), 3u);
  EXPECT_EQ(runners[0].horseName, Utf8ToCp932("アルファ"));
  EXPECT_EQ(runners[0].age, 3);
  for (int j : {1, 2}) {
    EXPECT_EQ(runners[j].horseName, "");
    EXPECT_EQ(runners[j].birthYear, 0);
    EXPECT_EQ(runners[j].horseNumber, j + 1);  // the race card's entry is still there
  }
  // All three rated 10 (no usable past run, or not read): total 30, pool 24, odds 24.
  for (const auto& runner : runners) EXPECT_EQ(runner.estimatedOdds, 24);
  EXPECT_EQ(RunnersOf(1)[0].horseName, Utf8ToCp932("チャーリー"));
}

TEST_F(RecordAssembly, JockeyChangeNeedsAPlacedLastRunByAnotherJockey) {
  WriteRegister({Horse("2000100001", "アルファ", "青木", 3),
                 Horse("2000100002", "ブラボー", "石川", 3),
                 Horse("2000100003", "チャーリー", "石川", 0),
                 Horse("2000100004", "デルタ")});
  EXPECT_TRUE(test::AssembleRecords(
      db_, {RaceOf({"2000100001", "2000100002", "2000100003", "2000100004"},
                   {"青木", "青木", "青木", "青木"})},
      true, messages_));
  const auto runners = RunnersOf(0);
  EXPECT_EQ(runners[0].jockeyChanged, 0);  // today's jockey rode the last run
  EXPECT_EQ(runners[1].jockeyChanged, 1);  // another jockey did
  EXPECT_EQ(runners[2].jockeyChanged, 0);  // the last run has no placing
  EXPECT_EQ(runners[3].jockeyChanged, 0);  // no past run
}

TEST_F(RecordAssembly, RunnerCountBeyondARaceCardNeverReachesPastEighteenEntries) {
  WriteRegister({Horse("2000100001", "アルファ")});
  Race race = RaceOf(std::vector<std::string>(18, "2000100001"));
  race.runnerCount = 40;
  EXPECT_TRUE(test::AssembleRecords(db_, {race}, false, messages_));
  EXPECT_EQ(db_.Record(0).size(), RaceRecordSize(18));
  EXPECT_EQ(RunnersOf(0)[17].horseName, Utf8ToCp932("アルファ"));
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(RecordAssembly, FullDatabaseRefusesTheRecordAndAssemblyStopsThere) {
  WriteRegister({});
  for (std::size_t i = 0; i < kMaxRecords; ++i) ASSERT_TRUE(db_.AddRecord(Bytes(1)));
  const Race race = RaceOf({"2000100001"});  // each race read shows the missing horse
  EXPECT_FALSE(test::AssembleRecords(db_, {race, race}, true, messages_));
  EXPECT_EQ(messages_.messages, std::vector<std::string>{kHorseMissing});
  EXPECT_EQ(db_.RecordCount(), kMaxRecords);
}

TEST_F(RecordAssembly, RacesTakeTheirRunnersFromTheirOwnRegisterWhenRegistersAlternate) {
  WriteRegister({Horse("2000100001", "アルファ")});
  const std::string otherPath = dir_ / "JracUmaj-2.dat";
  test::WriteFileBytes(otherPath, test::HorseRegisterFile({Horse("2000100001", "ブラボー")}));
  Race other = RaceOf({"2000100001"});
  other.horseFilePath = otherPath;
  const Race own = RaceOf({"2000100001"});

  EXPECT_TRUE(test::AssembleRecords(db_, {own, own, other, own, other}, true, messages_));
  const std::string expected[] = {"アルファ", "アルファ", "ブラボー", "アルファ", "ブラボー"};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(RunnersOf(i)[0].horseName, Utf8ToCp932(expected[i]));
  }
  EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(RecordAssembly, UnopenableRegisterIsReportedForEachRaceThatReadsARunner) {
  WriteRegister({Horse("2000100001", "アルファ")});
  Race missing = RaceOf({"2000100001", "2000100001"});
  missing.horseFilePath = dir_ / "none/JracUmaj.dat";
  Race missingWithoutRunners = RaceOf({});
  missingWithoutRunners.horseFilePath = missing.horseFilePath;

  EXPECT_TRUE(test::AssembleRecords(
      db_, {missing, missingWithoutRunners, missing, RaceOf({"2000100001"})}, true, messages_));
  const std::string cannotOpen = "ファイル " + missing.horseFilePath + " は開けませんでした。";
  EXPECT_EQ(messages_.messages, (std::vector<std::string>{cannotOpen, cannotOpen}));
  EXPECT_EQ(RunnersOf(0)[1].horseName, "");
  EXPECT_EQ(RunnersOf(3)[0].horseName, Utf8ToCp932("アルファ"));
}

}  // namespace
}  // namespace kelvane
