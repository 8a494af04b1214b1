#include "pdb/race_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "codes/cp932.h"
#include "jravan/ratings.h"
#include "pdb/big_endian.h"
#include "pdb/part_coding.h"

namespace kelvane {
namespace {

Bytes B(std::string_view bytes) { return Bytes(bytes.begin(), bytes.end()); }

struct TextSource {
  std::string text;
};
struct TextPart {
  std::string text;
};

// A text field of `width` bytes as the encoder writes it.
Bytes TextField(std::string_view text, std::size_t width) {
  Bytes out(width);
  const auto field = fields::ZeroPadded("text", 0, width, &TextPart::text).From(&TextSource::text);
  part_coding::Encode(field, TextSource{std::string(text)}, std::span<std::uint8_t>(out));
  return out;
}

TEST(RecordEncoders, TextKeepsAtMostWidthMinusOneBytesAndEndsInZero) {
  EXPECT_EQ(TextField("", 4), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(TextField("ab", 4), B(std::string_view("ab\0\0", 4)));
  EXPECT_EQ(TextField("abc", 4), B(std::string_view("abc\0", 4)));
  EXPECT_EQ(TextField("abcdef", 4), B(std::string_view("abc\0", 4)));
}

TEST(RecordEncoders, TextCutSplitsADoubleByteCharacterThatStraddlesTheLastByte) {
  // Twelve full-width characters (24 bytes) in a 22-byte field: ten characters, the
  // lead byte of the eleventh, then 0.
  const std::string name = Utf8ToCp932("ダイヤモンドステークス");
  ASSERT_EQ(name.size(), 22u);
  const std::string twelve = name + Utf8ToCp932("Ｓ");
  const Bytes field = TextField(twelve, 22);
  ASSERT_EQ(field.size(), 22u);
  EXPECT_EQ(Bytes(field.begin(), field.begin() + 21), B(std::string_view(twelve).substr(0, 21)));
  EXPECT_TRUE(IsLeadByte(field[20]));
  EXPECT_EQ(field[21], 0);
}

Race ExampleRace(int runners) {
  Race race;
  race.year = 2003;
  race.monthDay = 1228;
  race.racecourseCode = "06";
  race.valueAt83 = 83;
  race.valueAt319 = 319;
  race.distance = 2400;
  race.amountsAt148 = {1, 2, 3, 4, 180000};
  race.valueAt237 = 237;
  race.valueAt233 = 233;
  race.trackCode = 17;
  race.meetingNumber = 5;
  race.meetingDay = 8;
  race.raceNumber = 11;
  race.gradeCode = "A";
  race.raceTypeCode = 13;
  race.weightTypeCode = 4;
  race.saleCode = 2;
  race.runnerCount = runners;
  race.postTime = 1540;
  race.raceName = Utf8ToCp932("グランプリ");
  race.raceSymbolText = Utf8ToCp932("○国際○指");
  race.textAt267 = Utf8ToCp932("ハンデ");
  race.textAt294 = Utf8ToCp932("東");
  for (int k = 1; k <= std::min(runners, kMaxRunners); ++k) {
    race.horseNumbers[k] = k;
    race.frameNumbers[k] = (k + 1) / 2;
    race.sexCodes[k] = 1 + k % 3;
    race.weightsCarried[k] = 550 + k;
    race.entryFlagCodes[k] = k % 2;
    race.trainerFlagCodes[k] = 2;
    race.jockeyNames[k] = Utf8ToCp932("騎手") + std::to_string(k);
  }
  return race;
}

PastRun ExampleRun(int m) {
  PastRun run;
  run.year = 2003;
  run.monthDay = 1130 - m;
  run.racecourseCode = "05";
  run.distance = 2000 + 100 * m;
  run.valueAt116 = 116;
  run.valueAt119 = 119;
  run.valuesAt130 = {130, 131, 132};
  run.valueAt209 = 209;
  run.timeDifference = 3;
  run.valueAt149 = 149;
  run.weightCarried = 570;
  run.finishTime = 2245;
  run.meetingNumber = 5;
  run.meetingDay = 8;
  run.raceNumber = 10 + m;
  run.gradeCode = "B";
  run.raceTypeCode = 14;
  run.raceSymbolValue = 33;
  run.weightTypeCode = 3;
  run.trackCode = 23;
  run.valueAt72 = 72;
  run.valueAt74 = 74;
  run.valueAt76 = 76;
  run.goingCode = 2;
  run.weatherCode = 4;
  run.valueAt80 = 80;
  run.valueAt82 = 82;
  run.valueAt83 = 83;
  run.valueAt87 = 87;
  run.valueAt101 = 101;
  run.cornerPositions = {7, 5, 7, 3};
  run.marginCode = "Z__";
  run.resultFlag = 0;
  run.finishPosition = 1 + m;
  run.valueAt147 = 147;
  run.textAt16 = "tx16";
  run.conditionText = Utf8ToCp932("オープン");
  run.jockeyName = Utf8ToCp932("騎手") + "1";
  run.trainerName = Utf8ToCp932("調教師");
  run.otherHorseName = Utf8ToCp932("ライバル");
  return run;
}

Runner ExampleRunner(int pastRuns) {
  Runner runner;
  runner.estimatedOdds = 127;
  runner.birthYear = 2000;
  runner.amountsAt602 = {602, 609};
  runner.amountAt588 = 588;
  runner.age = 3;
  runner.coatColourCode = 4;
  runner.horseMarkCode = 27;
  runner.runningStyle = 2;
  runner.birthMonthDay = 415;
  for (int g = 0; g < kResultGroups; ++g) runner.resultCounts[g] = {g, g + 1, g + 2, 300};
  runner.pastRunCount = static_cast<std::uint16_t>(pastRuns);
  runner.horseName = Utf8ToCp932("テストホース");
  runner.textAt555 = Utf8ToCp932("美浦");
  runner.textAt420 = "textAt420";
  runner.nameAt444 = Utf8ToCp932("ヤマダ タロウ");
  runner.nameAt490 = Utf8ToCp932("スズキ ハナコ");
  for (int i = 0; i < 6; ++i) runner.pedigreeNames[i] = "Pedigree " + std::to_string(i);
  for (int m = 0; m < pastRuns; ++m) runner.pastRuns[m] = ExampleRun(m);
  return runner;
}

Bytes RaceRecordOf(const Race& race, const Runner& runner, bool alarm = true) {
  Bytes out;
  AppendRacePart(out, race, alarm);
  for (int k = 1; k <= RecordedRunnerCount(race); ++k) AppendRunnerPart(out, race, k, runner);
  return out;
}

TEST(RaceRecord, LengthIs152PlusRunnerPartsOf1116) {
  EXPECT_EQ(RaceRecordOf(ExampleRace(0), ExampleRunner(0)).size(), 152u);
  EXPECT_EQ(RaceRecordOf(ExampleRace(18), ExampleRunner(5)).size(), 20240u);
  Bytes fresh;
  AppendRunnerPart(fresh, Race{}, 1, Runner{});
  EXPECT_EQ(Bytes(fresh.begin() + 526, fresh.end()), Bytes(5 * 118, 0));  // unread past runs
}

TEST(RaceRecord, RunnerCountOutsideARaceCardIsKeptWithinEighteen) {
  const Bytes many = RaceRecordOf(ExampleRace(40), ExampleRunner(1));
  EXPECT_EQ(many.size(), RaceRecordSize(18));
  EXPECT_EQ(many[kRunCountAt], 18);
  Race negative = ExampleRace(0);
  negative.runnerCount = -3;
  EXPECT_EQ(RaceRecordOf(negative, ExampleRunner(1))[kRunCountAt], 0);
}

TEST(RaceRecord, FieldsSitAtTheirOffsets) {
  const Bytes record = RaceRecordOf(ExampleRace(2), ExampleRunner(5));
  const auto at = [&](std::size_t offset, std::size_t width) {
    return BigEndianAt(record, offset, width);
  };
  EXPECT_EQ(at(0, 2), 2003u);
  EXPECT_EQ(at(2, 2), 6u);           // 中山
  EXPECT_EQ(at(8, 2), 2400u);
  EXPECT_EQ(at(26, 4), 180000u);     // the fifth amount
  EXPECT_EQ(at(36, 1), 12u);         // 1228
  EXPECT_EQ(at(37, 1), 28u);
  EXPECT_EQ(at(41, 1), 1u);          // grade A
  EXPECT_EQ(at(42, 1), 3u);          // race type 13
  EXPECT_EQ(at(46, 1), 15u);         // 1540
  EXPECT_EQ(at(47, 1), 40u);
  EXPECT_EQ(at(142, 2), 0x938Cu);    // 東

  const std::size_t second = 152 + 1116;
  EXPECT_EQ(at(second + 0, 2), 552u);  // entry 2 carries 55.2 kg
  EXPECT_EQ(at(second + 21, 1), 2u);
  EXPECT_EQ(at(second + 30, 1), 4u);   // born 0415
  EXPECT_EQ(at(second + 31, 1), 15u);
  EXPECT_EQ(at(second + 32 + 4 * 23 + 3, 1), 44u);  // a count of 300 keeps its low byte
  EXPECT_EQ(at(second + 128, 1), 5u);

  const std::size_t lastBlock = second + 526 + 118 * 4;
  EXPECT_EQ(at(lastBlock + 4, 2), 2400u);
  EXPECT_EQ(at(lastBlock + 26, 1), 11u);   // 1126
  EXPECT_EQ(at(lastBlock + 27, 1), 26u);
  EXPECT_EQ(at(lastBlock + 31, 1), 2u);    // grade B
  EXPECT_EQ(at(lastBlock + 32, 1), 14u);   // the race type code itself
  EXPECT_EQ(at(lastBlock + 50, 1), 22u);   // margin Z__
  EXPECT_EQ(at(lastBlock + 117, 1), 0u);
  EXPECT_EQ(lastBlock + 118, record.size());
}

TEST(RaceRecord, DecoderReadsBackWhatTheEncodersWrote) {
  const Race race = ExampleRace(2);
  const Runner runner = ExampleRunner(2);
  const auto decoded = DecodeRaceRecord(RaceRecordOf(race, runner, false));
  ASSERT_TRUE(decoded);

  // A designated initializer cannot name a part's RaceDay: it is set after.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
  RacePart expectedRace{
      .valueAt83 = 83, .valueAt319 = 319,
      .distance = 2400, .amountsAt148 = {1, 2, 3, 4, 180000}, .valueAt237 = 237,
      .valueAt233 = 233, .trackCode = 17, .gradeIndex = 1, .raceTypeIndex = 3,
      .weightTypeCode = 4, .saleCode = 2, .runnerCount = 2, .postHour = 15,
      .postMinute = 40, .alarm = 0, .raceName = race.raceName,
      .raceSymbolText = race.raceSymbolText, .textAt267 = race.textAt267,
      .textAt294 = race.textAt294};
  static_cast<RaceDay&>(expectedRace) = {.year = 2003, .racecourseIndex = 6, .month = 12, .day = 28,
                                         .meetingNumber = 5, .meetingDay = 8, .raceNumber = 11};
  EXPECT_EQ(decoded->race, expectedRace);

  ASSERT_EQ(decoded->runners.size(), 2u);
  const RunnerPart& second = decoded->runners[1];
  RunnerPart expectedRunner{
      .weightCarried = 552, .estimatedOdds = 127, .birthYear = 2000,
      .amountsAt602 = {602, 609}, .amountAt588 = 588, .frameNumber = 1, .horseNumber = 2,
      .sexCode = 3, .age = 3, .coatColourCode = 4, .horseMarkCode = 27, .entryFlagCode = 0,
      .jockeyChanged = 1, .trainerFlagCode = 2, .runningStyle = 2, .birthMonth = 4,
      .birthDay = 15, .resultCounts = {}, .pastRunCount = 2, .horseName = runner.horseName,
      .jockeyName = race.jockeyNames[2], .textAt555 = runner.textAt555,
      .textAt420 = runner.textAt420, .nameAt444 = runner.nameAt444,
      .nameAt490 = runner.nameAt490, .pedigreeNames = runner.pedigreeNames, .pastRuns = {}};
  for (int g = 0; g < kResultGroups; ++g) {
    const auto count = [g](int plus) { return static_cast<std::uint8_t>(g + plus); };
    expectedRunner.resultCounts[g] = {count(0), count(1), count(2), 44};  // 300 keeps 44
  }
  for (int m = 0; m < 2; ++m) {
    const PastRun run = ExampleRun(m);
    PastRunBlock& block = expectedRunner.pastRuns[m];
    block = PastRunBlock{
        .distance = std::uint16_t(2000 + 100 * m),
        .valueAt116 = 116, .valueAt119 = 119, .valuesAt130 = {130, 131}, .valueAt209 = 209,
        .timeDifference = 3, .valueAt149 = 149, .weightCarried = 570, .finishTime = 2245,
        .gradeIndex = 2, .raceTypeCode = 14,
        .raceSymbolValue = 33, .weightTypeCode = 3, .trackCode = 23, .valueAt72 = 72,
        .valueAt74 = 74, .valueAt76 = 76, .goingCode = 2, .weatherCode = 4, .valueAt80 = 80,
        .valueAt82 = 82, .valueAt83 = 83, .valueAt87 = 87, .valueAt101 = 101,
        .cornerPositions = {7, 5, 7, 3}, .marginIndex = 22, .resultFlag = 0,
        .finishPosition = std::uint8_t(1 + m), .valueAt147 = 147, .textAt16 = "tx16",
        .conditionText = run.conditionText, .jockeyName = run.jockeyName,
        .trainerName = run.trainerName, .otherHorseName = run.otherHorseName};
    static_cast<RaceDay&>(block) = {.year = 2003, .racecourseIndex = 5, .month = 11,
                                    .day = std::uint8_t(30 - m), .meetingNumber = 5, .meetingDay = 8,
                                    .raceNumber = std::uint8_t(10 + m)};
  }
#pragma GCC diagnostic pop
  EXPECT_EQ(second, expectedRunner);
  EXPECT_EQ(decoded->runners[0].jockeyChanged, 0);  // entry 1's jockey rode the last run
}

TEST(RaceRecord, DecoderRefusesARecordWhoseLengthDisagreesWithItsRunnerCount) {
  Bytes record = RaceRecordOf(ExampleRace(1), ExampleRunner(0));
  EXPECT_TRUE(DecodeRaceRecord(record));
  EXPECT_FALSE(DecodeRaceRecord(std::span(record).first(record.size() - 1)));
  EXPECT_FALSE(DecodeRaceRecord(std::span(record).first(100)));
  record[kRunCountAt] = 2;
  EXPECT_FALSE(DecodeRaceRecord(record));
}

TEST(RaceRecord, ARunnerPartHoldsNoHorseWhenOnlyTheEntryAndTheOddsAreSet) {
  const Race race = ExampleRace(2);
  Runner unread;
  unread.estimatedOdds = 22156;
  Runner aged = unread;
  aged.age = 3;
  const auto decoded = [&](const Runner& runner) {
    Bytes record;
    AppendRacePart(record, race, true);
    for (int k = 1; k <= 2; ++k) AppendRunnerPart(record, race, k, runner);
    return DecodeRaceRecord(record).value().runners[1];
  };
  EXPECT_TRUE(HoldsNoHorse(decoded(unread)));
  EXPECT_FALSE(HoldsNoHorse(decoded(aged)));
  EXPECT_FALSE(HoldsNoHorse(decoded(ExampleRunner(0))));
}

TEST(JockeyChange, OnlyAnotherRiderOfAPlacedLastRunCounts) {
  Runner runner;
  const std::string today = Utf8ToCp932("騎手");
  runner.pastRuns[0].jockeyName = today;
  runner.pastRuns[0].finishPosition = 3;
  EXPECT_FALSE(JockeyChanged(runner, today));
  EXPECT_TRUE(JockeyChanged(runner, today + Utf8ToCp932("　")));  // byte for byte
  runner.pastRuns[0].jockeyName = Utf8ToCp932("別人");
  EXPECT_TRUE(JockeyChanged(runner, today));
  runner.pastRuns[0].finishPosition = 0;
  EXPECT_FALSE(JockeyChanged(runner, today));
  EXPECT_FALSE(JockeyChanged(Runner{}, today));  // no past run at all
}

}  // namespace
}  // namespace kelvane
