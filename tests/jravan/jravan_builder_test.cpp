#include "support/jravan_builder.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "jravan/horse_fields.h"
#include "jravan/race_fields.h"

namespace kelvane::test {
namespace {

const std::string kFullWidthSpace = "\x81\x40";

TEST(JravanBuilder, RaceCardLinePutsEveryFieldAtItsOffset) {
  const std::string line = RaceCardLineBytes({
      .year = 2003,
      .monthDay = 105,
      .racecourseCode = "06",
      .raceName = Name::Cp932("\x82\x60"),
      .conditionCodes = {701, 5},
      .runnerCount = "-1",
      .entries = {{.horseNumber = 7, .horseId = "2000100001", .trainerName = Name::Cp932("AB")},
                  {.horseNumber = 12}},
  });
  ASSERT_EQ(line.size(), kRaceCardLineSize);
  EXPECT_EQ(line.substr(0, 10), "2003010506");
  EXPECT_EQ(line.substr(17, 4), "\x82\x60" + kFullWidthSpace);
  EXPECT_EQ(line.substr(75, 2), kFullWidthSpace);
  EXPECT_EQ(line.substr(93, 6), "701005");
  EXPECT_EQ(line.substr(108, 24), std::string(24, ' '));
  EXPECT_EQ(line.substr(324, 2), "-1");
  EXPECT_EQ(line.substr(327, 2), "07");
  EXPECT_EQ(line.substr(330, 10), "2000100001");
  EXPECT_EQ(line.substr(327 + 55, 8), "AB" + kFullWidthSpace + kFullWidthSpace + kFullWidthSpace);
  EXPECT_EQ(line.substr(327 + 63, 2), "12");
  EXPECT_EQ(line.substr(327 + 2 * 63), std::string(16 * 63, ' '));
}

TEST(JravanBuilder, RunnerCountDefaultsToTheNumberOfEntries) {
  EXPECT_EQ(RaceCardLineBytes({.entries = {{}, {}, {}}}).substr(324, 2), "03");
  EXPECT_EQ(RaceCardLineBytes({.runnerCount = 0, .entries = {{}}}).substr(324, 2), "00");
}

TEST(JravanBuilder, RaceCardFileEndsEveryLine) {
  EXPECT_EQ(RaceCardFile({{}, {}}).size(), 2 * (kRaceCardLineSize + 2));
  const std::string lf = RaceCardFile({{}}, LineEnd::kLf);
  EXPECT_EQ(lf.size(), kRaceCardLineSize + 1);
  EXPECT_EQ(lf.back(), '\n');
}

TEST(JravanBuilder, DigitsPadWithZerosOrTakeTextAsGiven) {
  EXPECT_EQ(Digits(7).Render(3), "007");
  EXPECT_EQ(Digits(-7).Render(3), "-07");
  EXPECT_EQ(Digits("").Render(3), "   ");
  EXPECT_EQ(Digits("25").Render(3), "25 ");
  EXPECT_THROW(Digits(1000).Render(3), std::length_error);
  EXPECT_THROW(Digits("1234").Render(3), std::length_error);
}

TEST(JravanBuilder, NamesPadWithFullWidthSpacesAndTextsWithHalfWidthOnes) {
  EXPECT_EQ(Name::Cp932("abc").Render(6), "abc" + kFullWidthSpace + " ");
  EXPECT_EQ(Text::Cp932("ab").Render(4), "ab  ");
  EXPECT_THROW(Name::Cp932("abc").Render(2), std::length_error);
}

TEST(JravanBuilder, HorseRecordPutsEveryFieldAtItsOffset) {
  HorseRecord horse{
      .key = "2000100001",
      .valueAt19 = 1,
      .valueAt20 = 12345678,
      .birthYear = 2000,
      .pedigreeNames = {Name::Cp932("P1"), {}, {}, {}, {}, Name::Cp932("P6")},
      .pastRuns = {{.year = 2003, .racecourseCode = "05", .cornerPositions = {1, 2, 3, 4},
                    .timeDifference = -5},
                   {.year = 2002}},
  };
  horse.resultCounts[23][3] = 42;
  const std::string record = HorseRecordBytes(horse);
  ASSERT_EQ(record.size(), kHorseRecordSize);
  EXPECT_EQ(record.substr(0, 10), "2000100001");
  EXPECT_EQ(record.substr(19, 9), "112345678");
  EXPECT_EQ(record.substr(64, 4), "2000");
  EXPECT_EQ(record.substr(78, 2), "P1");
  EXPECT_EQ(record.substr(363, 2), "P6");
  EXPECT_EQ(record.substr(616 + 23 * 12 + 9, 3), "042");
  EXPECT_EQ(record.substr(904, 10), "2003000005");
  EXPECT_EQ(record.substr(904 + 122, 8), "01020304");
  EXPECT_EQ(record.substr(904 + 212, 3), "-05");
  EXPECT_EQ(record.substr(904 + 215, 4), "2002");
  EXPECT_EQ(record.substr(904 + 2 * 215, 4), "    ");
  EXPECT_EQ(record.substr(kHorseRecordSize - 2), "\r\n");
  EXPECT_EQ(HorseRegisterFile({horse, horse}), record + record);
}

}  // namespace
}  // namespace kelvane::test
