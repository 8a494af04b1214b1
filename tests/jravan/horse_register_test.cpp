#include "jravan/horse_register.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/texts.h"
#include "jravan/runner.h"
#include "jravan_test_files.h"

namespace kelvane::test {
namespace {

using namespace std::string_literals;

const std::string kReadFailed = texts::kHorseNotRead;

PastRunEntry TennoSho() {
  return {
      .year = 2003,
      .monthDay = 1026,
      .racecourseCode = "05",
      .meetingNumber = 4,
      .meetingDay = 8,
      .raceNumber = 11,
      .textAt16 = "T16xyz",
      .gradeCode = "A",
      .raceTypeCode = 13,
      .raceSymbolCode = "011",
      .weightTypeCode = 4,
      .conditionCode = 999,
      .raceName = "天皇賞",
      .distance = 2000,
      .trackCode = 11,
      .valueAt72 = 18,
      .valueAt74 = 7,
      .valueAt76 = 3,
      .goingCode = 2,
      .weatherCode = 4,
      .valueAt80 = 12,
      .valueAt82 = 3,
      .valueAt83 = 5,
      .weightCarried = 58,
      .valueAt87 = 6,
      .jockeyCode = 1014,
      .jockeyName = "騎手一",
      .valueAt101 = 7,
      .trainerCode = 1020,
      .trainerName = "調教師",
      .resultFlag = 0,
      .valueAt116 = 500,
      .valueAt119 = 8,
      .cornerPositions = {3, 4, 3, 2},
      .valuesAt130 = {1, 2, 3},
      .finishTime = 1582,
      .marginCode = "_12",
      .valueAt143 = 15,
      .finishPosition = 1,
      .valueAt147 = 16,
      .valueAt149 = 1234,
      .amountsAt153 = {13200, 5300, 3300, 2000},
      .otherHorseId = "1998100005",
      .otherHorseName = "ツルマルボーイ",
      .valueAt209 = 9,
      .timeDifference = 3,
  };
}

HorseRecord Symboli(std::vector<PastRunEntry> pastRuns = {TennoSho()}) {
  HorseRecord horse{
      .key = "1999100001",
      .valueAt19 = 1,
      .valueAt20 = 12345678,
      .horseName = "シンボリクリスエス",
      .birthYear = 1999,
      .birthMonthDay = 121,
      .breedCode = 1,
      .sexCode = 1,
      .coatColourCode = 4,
      .horseMarkCode = 6,
      .pedigreeNames = {"Ｋｒｉｓ　Ｓ．", "ティーケイ", "Ｒｏｂｅｒｔｏ", "シーケイ", "Ｇｏｌｄ", "ダイナ"},
      .textAt420 = "ABC",
      .nameAt444 = "馬主　一郎",
      .nameAt490 = "　　生産者",
      .valueAt550 = 12345,
      .textAt555 = "美浦",
      .valueAt563 = 1,
      .textAt564 = "XYZ",
      .amountAt588 = 1234567,
      .amountAt595 = 7654321,
      .amountsAt602 = {111, 222},
      .pastRuns = std::move(pastRuns),
  };
  for (int group = 0; group < 24; ++group) {
    for (int j = 0; j < 4; ++j) horse.resultCounts[group][j] = group * 4 + j;
  }
  return horse;
}

class HorseRegisterTest : public ::testing::Test {
 protected:
  // The runner of `horseId`, read through the file as the record assembly does.
  Runner ReadFromFile(const std::vector<HorseRecord>& records, const std::string& horseId,
                      int raceYear = 2003) {
    Runner runner;
    EXPECT_TRUE(ReadHorseAt(files.WriteRegister(HorseRegisterFile(records)), horseId, raceYear,
                            runner, sink));
    return runner;
  }
  // The runner of the only horse of a register held in memory.
  Runner Read(const HorseRecord& record) {
    Runner runner;
    EXPECT_TRUE(HorseRegister(HorseRecordBytes(record)).ReadHorseRecord(record.key.cp932(), 2003, runner, sink));
    return runner;
  }

  WorkingFolder files;
  RecordedMessages sink;
};

TEST_F(HorseRegisterTest, ReadHorseRecord_TakesEveryFieldOfTheFixedPart) {
  const Runner h = ReadFromFile({Symboli()}, "1999100001");
  EXPECT_EQ(h.valueAt20, 12345678);
  EXPECT_EQ(h.horseName, Sjis("シンボリクリスエス"));
  EXPECT_EQ(h.birthYear, 1999);
  EXPECT_EQ(h.age, 4);
  EXPECT_EQ(h.birthMonthDay, 121);
  EXPECT_EQ(h.breedCode, 1);
  EXPECT_EQ(h.breedChar, '1');
  EXPECT_EQ(h.breedText, Sjis("サラ"));
  EXPECT_EQ(h.sexCode, 1);
  EXPECT_EQ(h.sexChar, '1');
  EXPECT_EQ(h.sexText, Sjis("牡馬"));
  EXPECT_EQ(h.coatColourCode, 4);
  EXPECT_EQ(h.coatColourCodeText, "04");
  EXPECT_EQ(h.coatColourText, Sjis("黒鹿毛"));
  EXPECT_EQ(h.horseMarkCode, 6);
  EXPECT_EQ(h.horseMarkCodeText, "06");
  EXPECT_EQ(h.horseMarkText, Sjis("○外"));
  EXPECT_EQ(h.pedigreeNames, (std::array<std::string, 6>{"Kris S.", Sjis("ティーケイ"), "Roberto",
                                                          Sjis("シーケイ"), "Gold", Sjis("ダイナ")}));
  EXPECT_EQ(h.textAt420, "ABC");
  EXPECT_EQ(h.nameAt444, Sjis("馬主 一郎"));
  EXPECT_EQ(h.nameAt490, Sjis("生産者"));
  EXPECT_EQ(h.valueAt550, 12345);
  EXPECT_EQ(h.textAt555, Sjis("美浦"));
  EXPECT_EQ(h.valueAt563, 1);
  EXPECT_EQ(h.textAt564, "XYZ" + std::string(21, ' '));
  EXPECT_EQ(h.amountAt588, 1234567);
  EXPECT_EQ(h.amountAt595, 7654321);
  EXPECT_EQ(h.amountsAt602, (std::array<int, 2>{111, 222}));
  EXPECT_EQ(h.resultCounts[0], (std::array<int, 4>{0, 1, 2, 3}));
  EXPECT_EQ(h.resultCounts[23], (std::array<int, 4>{92, 93, 94, 95}));
  EXPECT_EQ(h.estimatedOdds, 100);
}

TEST_F(HorseRegisterTest, ReadHorseRecord_TakesEveryFieldOfAPastRun) {
  const Runner h = ReadFromFile({Symboli()}, "1999100001");
  ASSERT_EQ(h.pastRunCount, 1);
  const PastRun& p = h.pastRuns[0];
  EXPECT_EQ(p.year, 2003);
  EXPECT_EQ(p.monthDay, 1026);
  EXPECT_EQ(p.racecourseCode, "05");
  EXPECT_EQ(p.racecourseName, Sjis("東京"));
  EXPECT_EQ(p.meetingNumber, 4);
  EXPECT_EQ(p.meetingDay, 8);
  EXPECT_EQ(p.raceNumber, 11);
  EXPECT_EQ(p.textAt16, "T16xyz");
  EXPECT_EQ(p.gradeCode, "A");
  EXPECT_EQ(p.gradeChar, 'A');
  EXPECT_EQ(p.gradeText, "G1");
  EXPECT_EQ(p.raceTypeCode, 13);
  EXPECT_EQ(p.raceTypeCodeText, "13");
  EXPECT_EQ(p.raceSymbolValue, 11);
  EXPECT_EQ(p.raceSymbolCodeText, "011");
  EXPECT_EQ(p.weightTypeCode, 4);
  EXPECT_EQ(p.weightTypeChar, '4');
  EXPECT_EQ(p.conditionCode, 999);
  EXPECT_EQ(p.conditionCodeText, "999");
  EXPECT_EQ(p.conditionText, Sjis("オープン"));
  EXPECT_EQ(p.raceName, Sjis("天皇賞　　　　　　　　　"));
  EXPECT_EQ(p.distance, 2000);
  EXPECT_EQ(p.trackCode, 11);
  EXPECT_EQ(p.trackCodeText, "11");
  EXPECT_EQ(p.trackText, Sjis("芝　左回り"));
  EXPECT_EQ(p.valueAt72, 18);
  EXPECT_EQ(p.valueAt74, 7);
  EXPECT_EQ(p.valueAt76, 3);
  EXPECT_EQ(p.goingCode, 2);
  EXPECT_EQ(p.goingChar, '2');
  EXPECT_EQ(p.goingText, Sjis("稍重"));
  EXPECT_EQ(p.weatherCode, 4);
  EXPECT_EQ(p.weatherChar, '4');
  EXPECT_EQ(p.weatherText, Sjis("小雨"));
  EXPECT_EQ(p.valueAt80, 12);
  EXPECT_EQ(p.valueAt82, 3);
  EXPECT_EQ(p.valueAt83, 5);
  EXPECT_EQ(p.charAt83, '5');
  EXPECT_EQ(p.weightCarried, 58);
  EXPECT_EQ(p.valueAt87, 6);
  EXPECT_EQ(p.charAt87, '6');
  EXPECT_EQ(p.jockeyCode, 1014);
  EXPECT_EQ(p.jockeyName, Sjis("騎手一　"));
  EXPECT_EQ(p.valueAt101, 7);
  EXPECT_EQ(p.charAt101, '7');
  EXPECT_EQ(p.trainerCode, 1020);
  EXPECT_EQ(p.trainerName, Sjis("調教師　"));
  EXPECT_EQ(p.resultFlag, 0);
  EXPECT_EQ(p.resultFlagChar, '0');
  EXPECT_EQ(p.valueAt116, 500);
  EXPECT_EQ(p.valueAt119, 8);
  EXPECT_EQ(p.cornerPositions, (std::array<int, 4>{3, 4, 3, 2}));
  EXPECT_EQ(p.valuesAt130, (std::array<int, 3>{1, 2, 3}));
  EXPECT_EQ(p.finishTime, 1582);
  EXPECT_EQ(p.marginCode, "_12");
  EXPECT_EQ(p.marginText, Sjis("1/2 馬身"));
  EXPECT_EQ(p.valueAt143, 15);
  EXPECT_EQ(p.finishPosition, 1);
  EXPECT_EQ(p.valueAt147, 16);
  EXPECT_EQ(p.valueAt149, 1234);
  EXPECT_EQ(p.amountsAt153, (std::array<int, 4>{13200, 5300, 3300, 2000}));
  EXPECT_EQ(p.otherHorseId, "1998100005");
  EXPECT_EQ(p.otherHorseName, Sjis("ツルマルボーイ　　"));
  EXPECT_EQ(p.valueAt209, 9);
  EXPECT_EQ(p.timeDifference, 3);
  EXPECT_EQ(p.otherHorseTime, 1585);
}

TEST_F(HorseRegisterTest, FindsTheFirstRecordWhoseWholeKeyMatches) {
  HorseRecord first = Symboli(), second = Symboli(), twin = Symboli();
  first.key = "2000100011";
  second.key = "2000100001";
  second.horseName = "セカンド";
  twin.key = "2000100001";
  twin.horseName = "ツイン";
  const HorseRegister horses(HorseRegisterFile({first, second, twin}));
  EXPECT_EQ(horses.FindRecord("2000100011"), 10u);
  EXPECT_EQ(horses.FindRecord("2000100001"), 2881u + 10u);
  EXPECT_EQ(ReadFromFile({first, second, twin}, "2000100001").horseName, Sjis("セカンド"));
}

TEST_F(HorseRegisterTest, KeysCompareAsCStrings) {
  HorseRecord record = Symboli();
  record.key = Text::Cp932("20001\0\0\0\0\0"s);
  const HorseRegister horses(HorseRecordBytes(record));
  EXPECT_EQ(horses.FindRecord("20001"), 10u);
  EXPECT_EQ(horses.FindRecord("20001\0" "99"s), 10u);
  EXPECT_EQ(horses.FindRecord("2000"), std::nullopt);
}

TEST_F(HorseRegisterTest, ReadHorseRecord_KeyMissingOrOnlyAPrefixFailsUntouched) {
  const std::string path = files.WriteRegister(HorseRegisterFile({Symboli(), Symboli()}));
  for (const std::string horseId : {"199910000", "1999100002", ""}) {
    Runner runner;
    EXPECT_FALSE(ReadHorseAt(path, horseId, 2003, runner, sink)) << horseId;
    EXPECT_EQ(runner, Runner()) << horseId;
  }
  EXPECT_EQ(sink.messages, std::vector<std::string>(3, kReadFailed));
}

TEST_F(HorseRegisterTest, ReadHorseRecord_EmptyOrUnopenableRegisterFails) {
  Runner runner;
  EXPECT_FALSE(ReadHorseAt(files.WriteRegister(""), "1999100001", 2003, runner, sink));
  const std::string missing = files.dir / "なし/JracUmaj.dat";
  EXPECT_FALSE(ReadHorseAt(missing, "1999100001", 2003, runner, sink));
  EXPECT_EQ(runner, Runner());
  EXPECT_EQ(sink.messages,
            (std::vector<std::string>{kReadFailed, "ファイル " + missing + " は開けませんでした。"}));
}

TEST_F(HorseRegisterTest, ReadHorseRecord_RecordCutInsideItsFieldsFailsFresh) {
  HorseRecord second = Symboli();
  second.key = "2000100002";
  const std::string whole = HorseRegisterFile({Symboli(), second});
  // Cut inside the fixed part, inside the past run, and right before the year field
  // that ends the past runs.
  for (const std::size_t cut : {500, 904 + 100, 904 + 215}) {
    const HorseRegister cutShort(whole.substr(0, 2881 + cut));
    Runner runner;
    EXPECT_FALSE(cutShort.ReadHorseRecord("2000100002", 2003, runner, sink)) << cut;
    EXPECT_EQ(runner, Runner()) << cut;
  }
  EXPECT_EQ(sink.messages, std::vector<std::string>(3, kReadFailed));
}

TEST_F(HorseRegisterTest, ReadHorseRecord_RecordWithAControlCharacterIsJunk) {
  std::string record = HorseRecordBytes(Symboli());
  record[904 + 70] = '\x07';  // in the gap of the past run
  Runner runner;
  EXPECT_FALSE(HorseRegister(record).ReadHorseRecord("1999100001", 2003, runner, sink));
  EXPECT_EQ(runner, Runner());
  EXPECT_EQ(sink.messages, std::vector<std::string>{kReadFailed});
}

TEST_F(HorseRegisterTest, ReadHorseRecord_RecordCutAfterItsLastFieldReads) {
  const HorseRegister cutAfterPastRuns(HorseRecordBytes(Symboli()).substr(0, 904 + 215 + 4));
  Runner runner;
  EXPECT_TRUE(cutAfterPastRuns.ReadHorseRecord("1999100001", 2003, runner, sink));
  EXPECT_EQ(runner.pastRunCount, 1);
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(HorseRegisterTest, HorseWithoutPastRunsHasNone) {
  const Runner h = Read(Symboli({}));
  EXPECT_EQ(h.pastRunCount, 0);
  for (const PastRun& run : h.pastRuns) EXPECT_EQ(run.racecourseCode, "");
}

TEST_F(HorseRegisterTest, ReadsPastRunsUpToTheFirstBlankYearAndAtMostFive) {
  std::vector<PastRunEntry> runs(5, TennoSho());
  for (int m = 0; m < 5; ++m) runs[m].year = 2003 - m;
  EXPECT_EQ(Read(Symboli({runs[0], runs[1], {.year = "", .racecourseCode = "06"}})).pastRunCount, 2);
  const Runner h = Read(Symboli(runs));
  EXPECT_EQ(h.pastRunCount, 5);
  EXPECT_EQ(h.pastRuns[4].year, 1999);
  EXPECT_EQ(h.pastRuns[4].racecourseCode, "05");
}

TEST_F(HorseRegisterTest, CornersWithoutPositionTakeTheFirstCornersOrSeven) {
  PastRunEntry run = TennoSho();
  run.cornerPositions = {0, 5, 0, 3};
  EXPECT_EQ(Read(Symboli({run})).pastRuns[0].cornerPositions, (std::array<int, 4>{7, 5, 7, 3}));
  run.cornerPositions = {4, 0, 0, 2};
  EXPECT_EQ(Read(Symboli({run})).pastRuns[0].cornerPositions, (std::array<int, 4>{4, 4, 4, 2}));
}

TEST_F(HorseRegisterTest, BlankValueAt119IsZeroEvenOverAnEarlierValue) {
  PastRunEntry run = TennoSho();
  run.valueAt119 = "   ";
  Runner runner;
  runner.pastRuns[0].valueAt119 = 77;
  runner.pastRuns[0].valueAt116 = 77;
  run.valueAt116 = "   ";
  HorseRegister(HorseRecordBytes(Symboli({run}))).ReadHorseRecord("1999100001", 2003, runner, sink);
  EXPECT_EQ(runner.pastRuns[0].valueAt119, 0);
  EXPECT_EQ(runner.pastRuns[0].valueAt116, 77) << "an ordinary number keeps its value";
}

TEST_F(HorseRegisterTest, AgeIsTheRaceYearLessTheBirthYear) {
  HorseRecord horse = Symboli();
  horse.birthYear = 2000;
  EXPECT_EQ(ReadFromFile({horse}, "1999100001", 2003).age, 3);
}

TEST_F(HorseRegisterTest, ValueAt20TakesTheLaterFieldUnlessItHasNoDigits) {
  HorseRecord horse = Symboli();
  horse.valueAt20 = "";
  EXPECT_EQ(Read(horse).valueAt20, 1);
  horse.valueAt20 = 42;
  EXPECT_EQ(Read(horse).valueAt20, 42);
}

TEST_F(HorseRegisterTest, HorseNameEndsAtTheFirstFullWidthSpace) {
  HorseRecord horse = Symboli();
  horse.horseName = "テスト　ホース";
  EXPECT_EQ(Read(horse).horseName, Sjis("テスト"));
  horse.horseName = "アイウエオカキクケコサシスセソタチツ";
  EXPECT_EQ(Read(horse).horseName, "") << "a name filling its field has no end";
}

TEST_F(HorseRegisterTest, ReadHorseRecord_RatesTheRunner) {
  PastRunEntry run = TennoSho();  // G1, first: 38 points
  run.cornerPositions = {1, 2, 1, 1};
  HorseRecord horse = Symboli({run});
  horse.resultCounts = {};
  horse.resultCounts[19][0] = 1;
  const Runner h = Read(horse);
  EXPECT_EQ(h.formRating, 469225);
  EXPECT_EQ(h.runningStyleIndex, 0);
  EXPECT_EQ(h.runningStyle, 1);
  EXPECT_EQ(h.runningStyleText, Sjis("逃"));
  EXPECT_EQ(h.suitedDistance, 2000);
  EXPECT_EQ(h.estimatedOdds, 100);
}

}  // namespace
}  // namespace kelvane::test
