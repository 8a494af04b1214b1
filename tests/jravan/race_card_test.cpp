#include "jravan/race_card.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/texts.h"
#include "jravan/race.h"
#include "jravan_test_files.h"

namespace kelvane::test {
namespace {

std::string CannotOpen(const std::string& path) { return "ファイル'" + path + "'を開けませんでした"; }
const std::string kReadFailed = texts::kRaceNotRead;

RaceCardLine ArimaKinen() {
  return {
      .year = 2003,
      .monthDay = 1228,
      .racecourseCode = "06",
      .meetingNumber = 5,
      .meetingDay = 8,
      .raceNumber = 11,
      .weekdayCode = 2,
      .raceName = "有馬記念",
      .textAt77 = "AB12CD",
      .valueAt83 = 48,
      .gradeCode = "A",
      .raceTypeCode = 13,
      .raceSymbolCode = "N00",
      .weightTypeCode = 4,
      .conditionCodes = {999, 999, 999, 999, 999},
      .distance = 2500,
      .trackCode = 20,
      .amountsAt148 = {18000, 7200, 4500, 2700, 1800},
      .amountsAt197 = {1, 22, 333},
      .valueAt232 = 1,
      .valueAt233 = 1520,
      .valueAt237 = 1525,
      .postTime = 1525,
      .textAt245 = "XY",
      .valueAt247 = 12,
      .valueAt249 = 13,
      .valueAt251 = 14,
      .charAt253 = "P",
      .charAt254 = "Q",
      .textAt267 = "グランプリ",
      .charAt285 = "R",
      .valueAt286 = 123,
      .textAt294 = "中山",
      .textAt308 = "芝",
      .valueAt319 = 2003,
      .saleCode = 2,
      .entries = {{.horseNumber = 9,
                   .frameNumber = 5,
                   .horseId = "1999100001",
                   .horseName = "シンボリクリスエス",
                   .sexCode = 1,
                   .weightCarried = 57,
                   .entryFlag = 2,
                   .jockeyCode = 1014,
                   .jockeyName = "騎手一",
                   .trainerFlag = 3,
                   .trainerCode = 1020,
                   .trainerName = "調教師"},
                  {.horseNumber = 4, .horseId = "1999100002", .sexCode = 2}},
  };
}

// A race card with races numbered 1 to n.
std::vector<RaceCardLine> NumberedRaces(int n) {
  std::vector<RaceCardLine> races;
  for (int number = 1; number <= n; ++number) races.push_back({.raceNumber = number});
  return races;
}

class RaceCardTest : public ::testing::Test {
 protected:
  // Race `j` of a card with `bytes`, read through the file as the conversion does.
  Race ReadFromFile(const std::string& bytes, int j) {
    Race race;
    EXPECT_TRUE(ReadRaceAt(files.WriteCard(bytes), j, race, sink));
    return race;
  }
  // Race `j` of a card held in memory.
  Race Read(const RaceCardLine& line) {
    Race race;
    EXPECT_TRUE(RaceCard("/w/JracDen1.dat", RaceCardFile({line})).ReadRace(1, race, sink));
    return race;
  }

  WorkingFolder files;
  RecordedMessages sink;
};

TEST_F(RaceCardTest, CountRaces_CountsLinesWithOrWithoutALastLineEnd) {
  EXPECT_EQ(CountRacesAt(files.WriteCard(""), sink), 0);
  EXPECT_EQ(CountRacesAt(files.WriteCard(RaceCardFile(NumberedRaces(3))), sink), 3);
  EXPECT_EQ(CountRacesAt(files.WriteCard(RaceCardFile(NumberedRaces(3), LineEnd::kLf)), sink), 3);
  std::string unended = RaceCardFile(NumberedRaces(2));
  unended.resize(unended.size() - 2);
  EXPECT_EQ(CountRacesAt(files.WriteCard(unended), sink), 2);
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(RaceCardTest, CountRaces_LineLongerThanOneLineReadCountsAsTwo) {
  EXPECT_EQ(RaceCard("c", std::string(1462, 'x') + "\r\n").CountRaces(), 1);
  EXPECT_EQ(RaceCard("c", std::string(1463, 'x') + "\n").CountRaces(), 2);
  EXPECT_EQ(RaceCard("c", std::string(1463 * 2, 'x')).CountRaces(), 2);
}

TEST_F(RaceCardTest, UnopenableCardShowsItsPath) {
  const std::string missing = files.dir / "なし/JracDen1.dat";
  EXPECT_EQ(CountRacesAt(missing, sink), 0);
  Race race;
  EXPECT_FALSE(ReadRaceAt(missing, 1, race, sink));
  EXPECT_EQ(race, Race());
  EXPECT_EQ(sink.messages, std::vector<std::string>(2, CannotOpen(missing)));
}

TEST_F(RaceCardTest, ReadRace_ReadsTheLineOfTheRaceAskedFor) {
  const std::string card = RaceCardFile(NumberedRaces(3));
  for (int j = 1; j <= 3; ++j) EXPECT_EQ(ReadFromFile(card, j).raceNumber, j);
  EXPECT_TRUE(sink.messages.empty());
}

TEST_F(RaceCardTest, ReadRace_RacesPastTheLastLineFailUntouched) {
  const std::string path = files.WriteCard(RaceCardFile(NumberedRaces(3)));
  for (int j : {4, 5}) {
    Race race;
    EXPECT_FALSE(ReadRaceAt(path, j, race, sink)) << j;
    EXPECT_EQ(race, Race()) << j;
  }
  EXPECT_EQ(sink.messages, std::vector<std::string>(2, kReadFailed));
}

TEST_F(RaceCardTest, ReadRace_TakesEveryFieldOfTheRacePart) {
  const Race r = ReadFromFile(RaceCardFile({ArimaKinen()}), 1);
  EXPECT_EQ(r.cardPath, files.cardPath());
  EXPECT_EQ(r.year, 2003);
  EXPECT_EQ(r.monthDay, 1228);
  EXPECT_EQ(r.racecourseCode, "06");
  EXPECT_EQ(r.racecourseName, Sjis("中山"));
  EXPECT_EQ(r.meetingNumber, 5);
  EXPECT_EQ(r.meetingDay, 8);
  EXPECT_EQ(r.raceNumber, 11);
  EXPECT_EQ(r.weekdayCode, 2);
  EXPECT_EQ(r.weekdayText, Sjis("日"));
  EXPECT_EQ(r.raceName, Sjis("有馬記念"));
  EXPECT_EQ(r.textAt77, "AB12CD");
  EXPECT_EQ(r.valueAt83, 48);
  EXPECT_EQ(r.gradeCode, "A");
  EXPECT_EQ(r.gradeChar, 'A');
  EXPECT_EQ(r.gradeText, "G1");
  EXPECT_EQ(r.raceTypeCode, 13);
  EXPECT_EQ(r.raceTypeCodeText, "13");
  EXPECT_EQ(r.raceTypeText, Sjis("ｻﾗ３歳上"));
  EXPECT_EQ(r.raceSymbolCode, "N00");
  EXPECT_EQ(r.raceSymbolText, Sjis("○国際"));
  EXPECT_EQ(r.weightTypeCode, 4);
  EXPECT_EQ(r.weightTypeChar, '4');
  EXPECT_EQ(r.weightTypeText, Sjis("定量"));
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(r.conditionCodes[i], 999);
    EXPECT_EQ(r.conditionCodeTexts[i], "999");
    EXPECT_EQ(r.conditionTexts[i], Sjis("オープン"));
  }
  EXPECT_EQ(r.distance, 2500);
  EXPECT_EQ(r.trackCode, 20);
  EXPECT_EQ(r.trackCodeText, "20");
  EXPECT_EQ(r.trackText, Sjis("芝　右回り｜外→内回り"));
  EXPECT_EQ(r.amountsAt148, (std::array<int, 5>{18000, 7200, 4500, 2700, 1800}));
  EXPECT_EQ(r.amountsAt197, (std::array<int, 3>{1, 22, 333}));
  EXPECT_EQ(r.valueAt232, 1);
  EXPECT_EQ(r.charAt232, '1');
  EXPECT_EQ(r.valueAt233, 1520);
  EXPECT_EQ(r.valueAt237, 1525);
  EXPECT_EQ(r.postTime, 1525);
  EXPECT_EQ(r.textAt245, "XY");
  EXPECT_EQ(r.valueAt247, 12);
  EXPECT_EQ(r.valueAt249, 13);
  EXPECT_EQ(r.valueAt251, 14);
  EXPECT_EQ(r.charAt253, 'P');
  EXPECT_EQ(r.charAt254, 'Q');
  EXPECT_EQ(r.textAt267, Sjis("グランプリ"));
  EXPECT_EQ(r.charAt285, 'R');
  EXPECT_EQ(r.valueAt286, 123);
  EXPECT_EQ(r.textAt294, Sjis("中山　　")) << "this name keeps its padding";
  EXPECT_EQ(r.textAt308, Sjis("芝"));
  EXPECT_EQ(r.valueAt319, 2003);
  EXPECT_EQ(r.saleCode, 2);
  EXPECT_EQ(r.saleChar, '2');
  EXPECT_EQ(r.saleText, Sjis("全国発売・当日売り"));
  EXPECT_EQ(r.runnerCount, 2);
}

TEST_F(RaceCardTest, ReadRace_TakesEveryFieldOfEachEntry) {
  const Race r = ReadFromFile(RaceCardFile({ArimaKinen()}), 1);
  EXPECT_EQ(r.horseNumbers[1], 9);
  EXPECT_EQ(r.frameNumbers[1], 5);
  EXPECT_EQ(r.horseIds[1], "1999100001");
  EXPECT_EQ(r.horseNames[1], Sjis("シンボリクリスエス"));
  EXPECT_EQ(r.sexCodes[1], 1);
  EXPECT_EQ(r.sexChars[1], '1');
  EXPECT_EQ(r.sexTexts[1], Sjis("牡"));
  EXPECT_EQ(r.weightsCarried[1], 57);
  EXPECT_EQ(r.entryFlagCodes[1], 2);
  EXPECT_EQ(r.entryFlagChars[1], '2');
  EXPECT_EQ(r.jockeyCodes[1], 1014);
  EXPECT_EQ(r.jockeyCodeTexts[1], "01014");
  EXPECT_EQ(r.jockeyNames[1], Sjis("騎手一　"));
  EXPECT_EQ(r.trainerFlagCodes[1], 3);
  EXPECT_EQ(r.trainerFlagChars[1], '3');
  EXPECT_EQ(r.trainerCodes[1], 1020);
  EXPECT_EQ(r.trainerCodeTexts[1], "01020");
  EXPECT_EQ(r.trainerNames[1], Sjis("調教師"));
  EXPECT_EQ(r.horseNumbers[2], 4);
  EXPECT_EQ(r.horseIds[2], "1999100002");
  EXPECT_EQ(r.sexTexts[2], Sjis("牝"));
  EXPECT_EQ(r.horseIds[0], "") << "slot 0 stays unused";
  EXPECT_EQ(r.horseIds[3], "");
  EXPECT_EQ(r.horseNumbers[3], 0);
}

TEST_F(RaceCardTest, ReadRace_CrLfAndLfCardsGiveTheSameRace) {
  std::vector<RaceCardLine> lines = {ArimaKinen(), ArimaKinen(), ArimaKinen()};
  lines[1].raceNumber = 12;
  lines[1].entries.resize(18);
  for (int j = 1; j <= 3; ++j) {
    EXPECT_EQ(ReadFromFile(RaceCardFile(lines, LineEnd::kCrLf), j),
              ReadFromFile(RaceCardFile(lines, LineEnd::kLf), j))
        << j;
  }
}

TEST_F(RaceCardTest, ReadRace_NamesTheCardAndTheRegisterOfItsArchive) {
  Race race;
  RaceCard("/w/JracDen1.dat", RaceCardFile({{}}), "/w/JracUmaj.dat").ReadRace(1, race, sink);
  EXPECT_EQ(race.cardPath, "/w/JracDen1.dat");
  EXPECT_EQ(race.horseFilePath, "/w/JracUmaj.dat");
}

TEST_F(RaceCardTest, ReadRace_NameEndsAtTheFirstFullWidthSpace) {
  EXPECT_EQ(Read({.raceName = "ジャパン　カップ"}).raceName, Sjis("ジャパン"));
  // 0x88 0x81 is one character; the 0x81 0x40 across it and the next byte is no space.
  EXPECT_EQ(Read({.raceName = Name::Cp932("\x88\x81" "@")}).raceName, "\x88\x81" "@");
}

struct FallbackCase {
  int raceTypeCode;
  const char* expectedName;
};

class RaceNameFallback : public RaceCardTest, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(RaceNameFallback, NameWithoutFullWidthSpaceIsTypeAndCondition) {
  const FallbackCase& c = GetParam();
  RaceCardLine line{.raceName = "　特別", .raceTypeCode = c.raceTypeCode, .conditionCodes = {701, 703, 5}};
  EXPECT_EQ(Read(line).raceName, Sjis(c.expectedName));
}

INSTANTIATE_TEST_SUITE_P(RaceCard, RaceNameFallback,
                         ::testing::Values(FallbackCase{11, "ｻﾗ２歳新馬"}, FallbackCase{1, "新馬"},
                                           FallbackCase{12, "ｻﾗ３歳未勝利"},
                                           FallbackCase{13, "ｻﾗ３歳上未勝利"},
                                           FallbackCase{2, "未勝利"}, FallbackCase{3, "未勝利"},
                                           FallbackCase{8, "未勝利"},
                                           FallbackCase{14, "ｻﾗ４歳上500万下"},
                                           FallbackCase{21, "ｱﾗ２歳500万下"},
                                           FallbackCase{0, "500万下"}));

TEST_F(RaceCardTest, ReadRace_NameFillingItsWholeFieldFallsBack) {
  const RaceCardLine line{.raceName = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ",
                          .raceTypeCode = 11,
                          .conditionCodes = {701}};
  EXPECT_EQ(Read(line).raceName, Sjis("ｻﾗ２歳新馬"));
}

TEST_F(RaceCardTest, ReadRace_WeekdayThreeIsAHolidayAndSaleZeroHasItsOwnText) {
  const Race race = Read({.weekdayCode = 3, .saleCode = 0});
  EXPECT_EQ(race.weekdayText, Sjis("祝"));
  EXPECT_EQ(race.saleText, Sjis("全国発売なし"));
}

TEST_F(RaceCardTest, ReadRace_RunnerCountZeroReadsNoEntry) {
  RaceCardLine line = ArimaKinen();
  line.runnerCount = 0;
  const Race race = Read(line);
  EXPECT_EQ(race.runnerCount, 0);
  EXPECT_EQ(race.horseIds, PerEntry<std::string>());
  EXPECT_EQ(race.horseNumbers, PerEntry<int>());
}

TEST_F(RaceCardTest, ReadRace_RunnerCountIsKeptWithinTheEighteenSlots) {
  RaceCardLine line;
  for (int k = 1; k <= 18; ++k) line.entries.push_back({.horseNumber = k});
  line.runnerCount = "-1";
  EXPECT_EQ(Read(line).runnerCount, 0);
  EXPECT_EQ(Read(line).horseNumbers, PerEntry<int>());
  line.runnerCount = "25";
  const Race race = Read(line);
  EXPECT_EQ(race.runnerCount, 18);
  EXPECT_EQ(race.horseNumbers[18], 18);
}

TEST_F(RaceCardTest, ReadRace_NumbersWithoutDigitsKeepTheirValueAndValuesBecomeZero) {
  Race race;
  race.year = 1999;
  race.monthDay = 1231;
  RaceCard("c", RaceCardFile({{.year = "", .monthDay = ""}})).ReadRace(1, race, sink);
  EXPECT_EQ(race.year, 1999);
  EXPECT_EQ(race.monthDay, 0);
}

TEST_F(RaceCardTest, ReadRace_LineCutShortFailsFreshAndTheNextLineStillReads) {
  // Cut inside the race part, and after the first of its two entries.
  for (const std::size_t cut : {std::size_t{30}, std::size_t{327 + 63}}) {
    std::string card = RaceCardFile({ArimaKinen(), {.year = 2004}});
    card.erase(cut, 1461 - cut);
    Race race;
    EXPECT_FALSE(RaceCard("c", card).ReadRace(1, race, sink)) << cut;
    EXPECT_EQ(race, Race()) << cut;
    EXPECT_EQ(ReadFromFile(card, 2).year, 2004) << cut;
  }
  const RaceCard unended("c", RaceCardLineBytes(ArimaKinen()).substr(0, 400));
  Race race;
  EXPECT_FALSE(unended.ReadRace(1, race, sink));
  EXPECT_EQ(sink.messages, std::vector<std::string>(3, kReadFailed));
}

TEST_F(RaceCardTest, ReadRace_LineWithAControlCharacterIsJunkButNulIsText) {
  const std::string line = RaceCardLineBytes(ArimaKinen());
  std::string junk = line, padded = line;
  junk[300] = '\x1B';  // in a gap of the race part
  padded[22] = '\0';   // inside the race name
  const RaceCard card("c", junk + "\r\n" + padded + "\r\n");
  Race race;
  EXPECT_FALSE(card.ReadRace(1, race, sink));
  EXPECT_EQ(race, Race());
  EXPECT_TRUE(card.ReadRace(2, race, sink));
  EXPECT_EQ(race.horseIds[2], "1999100002");
  EXPECT_EQ(sink.messages, std::vector<std::string>{kReadFailed});
}

TEST_F(RaceCardTest, ReadRace_LineHoldingTheRacePartAndItsEntriesIsEnough) {
  std::string card = RaceCardFile({ArimaKinen()}, LineEnd::kLf);
  card.erase(327 + 2 * 63, 1461 - 327 - 2 * 63);  // the slots of the two runners, no more
  EXPECT_EQ(ReadFromFile(card, 1).horseNumbers[2], 4);
  card.pop_back();
  EXPECT_EQ(ReadFromFile(card, 1).horseNumbers[2], 4);
  EXPECT_TRUE(sink.messages.empty());
}

// Whether a race reads, told without reading it, is what reading it finds: for lines
// whole, cut short, junk, and of runner counts out of range or missing.
TEST_F(RaceCardTest, Reads_TellsWhatReadRaceFinds) {
  const std::string whole = RaceCardLineBytes(ArimaKinen());
  std::string junk = whole, nul = whole;
  junk[300] = '\x1B';
  nul[22] = '\0';
  RaceCardLine many = ArimaKinen(), none = ArimaKinen();
  many.runnerCount = "25";
  none.runnerCount = "";
  const std::string lines[] = {whole,  whole.substr(0, 30), whole.substr(0, 327 + 63), junk, nul,
                               RaceCardLineBytes(many), RaceCardLineBytes(none).substr(0, 327)};
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  const RaceCard card("c", bytes);
  for (int j = 1; j <= card.CountRaces() + 1; ++j) {
    Race race;
    EXPECT_EQ(card.Reads(j), card.ReadRace(j, race, sink)) << "race " << j;
  }
}

// A card's size tells its races only when it is full lines ending in CR LF, one race
// each, as reading such a card finds.
TEST_F(RaceCardTest, FullLinesAreTheOnlySizeThatTellsTheRaces) {
  const std::string line = RaceCardLineBytes(ArimaKinen()) + "\r\n";
  const std::string lf = RaceCardLineBytes(ArimaKinen()) + "\n";
  const std::pair<std::string, std::optional<std::size_t>> cards[] = {
      {"", 0}, {line + line + line, 3}, {line + line.substr(0, 30), std::nullopt},
      {lf + lf, std::nullopt}, {line + "\r\n", std::nullopt}};
  for (const auto& [bytes, races] : cards) {
    EXPECT_EQ(RacesOfFullLines(bytes.size()), races) << bytes.size();
    if (races) {
      EXPECT_EQ(RaceCard("c", bytes).CountRaces(), static_cast<int>(*races));
    }
  }
}

}  // namespace
}  // namespace kelvane::test
