#include "support/fuzz_seeds.h"

#include <string_view>

#include "jravan/horse_fields.h"
#include "jravan/horse_register.h"
#include "jravan/race_card.h"
#include "jravan/ratings.h"
#include "pdb/race_record.h"
#include "support/in_memory_database.h"
#include "support/jravan_builder.h"
#include "support/lha_writer.h"

namespace kelvane::test {
namespace {

constexpr std::uint32_t kPalmTime = 3'200'000'000u;

RaceCardEntry Entry(int number, const std::string& horseId) {
  return {.horseNumber = number, .frameNumber = (number + 1) / 2, .horseId = horseId,
          .horseName = "シードホース", .sexCode = number % 3 + 1, .weightCarried = 550,
          .entryFlag = 1, .jockeyCode = 1000 + number, .jockeyName = "騎手　一",
          .trainerFlag = 2, .trainerCode = 2000 + number, .trainerName = "調教師"};
}

RaceCardLine GradeRace() {
  return {.year = 2003, .monthDay = 1228, .racecourseCode = "06", .meetingNumber = 5,
          .meetingDay = 8, .raceNumber = 11, .weekdayCode = 2, .raceName = "有馬記念",
          .gradeCode = "A", .raceTypeCode = 13, .raceSymbolCode = "N00", .weightTypeCode = 4,
          .conditionCodes = {999, 999, 999, 999, 999}, .distance = 2500, .trackCode = 10,
          .amountsAt148 = {18000, 7200, 4500, 2700, 1800}, .postTime = 1525,
          .textAt267 = "グランプリ", .textAt294 = "中山", .valueAt319 = 2003, .saleCode = 2,
          .entries = {Entry(1, "1999100001"), Entry(2, "2000100002"), Entry(3, "2000100003")}};
}

// A race without a name: its name comes from the race type and a condition.
RaceCardLine UnnamedRace() {
  return {.year = 2003, .monthDay = 1227, .racecourseCode = "09", .raceNumber = 1,
          .weekdayCode = 1, .raceTypeCode = 11, .conditionCodes = {701}, .distance = 1200,
          .trackCode = 23, .postTime = 1005, .runnerCount = 0};
}

RaceCardLine FullField() {
  RaceCardLine race = GradeRace();
  race.entries.clear();
  for (int number = 1; number <= 18; ++number) race.entries.push_back(Entry(number, "1999100001"));
  return race;
}

// Corner, margin, weather and going codes of every kind, across five runs.
std::vector<PastRunEntry> FivePastRuns() {
  std::vector<PastRunEntry> runs;
  for (int m = 0; m < 5; ++m) {
    runs.push_back({.year = 2003, .monthDay = 1100 + m, .racecourseCode = m % 2 ? "05" : "08",
                    .raceNumber = 11, .gradeCode = m == 0 ? "B" : "", .raceTypeCode = 13,
                    .raceSymbolCode = 100 + m, .conditionCode = m == 4 ? 701 : 16,
                    .raceName = "前走", .distance = 1600 + 400 * m, .trackCode = 10 + m,
                    .goingCode = m % 4 + 1, .weatherCode = m % 6 + 1, .weightCarried = 570,
                    .jockeyName = "騎手　二", .resultFlag = m == 3 ? 1 : 0,
                    .valueAt119 = m == 2 ? Digits("   ") : Digits(5),
                    .cornerPositions = {m, 0, 5, 3}, .finishTime = 1330 + m,
                    .marginCode = "_12", .finishPosition = m + 1, .timeDifference = 3});
  }
  return runs;
}

HorseRecord Horse(const std::string& key, std::vector<PastRunEntry> pastRuns) {
  HorseRecord horse{.key = key, .valueAt19 = 1, .valueAt20 = 12345678,
                    .horseName = "シードホース", .birthYear = 1999, .birthMonthDay = 415,
                    .breedCode = 1, .sexCode = 1, .coatColourCode = 3, .horseMarkCode = 2,
                    .textAt420 = "ORIGIN", .nameAt444 = "山本　一郎",
                    .nameAt490 = "　　北星　ファーム", .textAt555 = "美浦",
                    .amountAt588 = 12000, .amountsAt602 = {300, 400},
                    .pastRuns = std::move(pastRuns)};
  horse.pedigreeNames = {"Ｓｔｏｒｍ　Ｒｉｄｅｒ", "ハルカゼ", "Ｍｉｓｓ　Ｏ’Ｈａｒａ", "", "ブルーベル", "ユキノハナ"};
  for (int g = 18; g < 24; ++g) horse.resultCounts[g] = {g % 3, 1, 0, 2};
  return horse;
}

std::vector<HorseRecord> ThreeHorses() {
  std::vector<PastRunEntry> two = FivePastRuns();
  two.resize(2);
  return {Horse("1999100001", FivePastRuns()), Horse("2000100002", {}),
          Horse("2000100003", std::move(two))};
}

std::string WithNulAt(std::string bytes, std::initializer_list<std::size_t> offsets) {
  for (std::size_t at : offsets) bytes[at] = '\0';
  return bytes;
}

std::vector<FuzzSeed> RaceCardSeeds() {
  RaceCardLine negative = GradeRace();
  negative.runnerCount = "-5";
  RaceCardLine tooMany = FullField();
  tooMany.runnerCount = "99";
  const std::string grade = RaceCardLineBytes(GradeRace());
  return {
      {"race_card", "grade-and-unnamed-crlf", RaceCardFile({GradeRace(), UnnamedRace()})},
      {"race_card", "full-field-lf", RaceCardFile({FullField()}, LineEnd::kLf)},
      {"race_card", "runner-counts-minus-5-and-99", RaceCardFile({negative, tooMany})},
      // NULs in the race name, the racecourse code, a horse id and the runner count.
      {"race_card", "nul-bytes-and-a-cut-line",
       WithNulAt(grade, {20, 9, 330, 325}) + "\r\n" + grade.substr(0, 400)},
      {"race_card", "short-lines", std::string("\n\r\n2003\r1228\n") + std::string(30, '\x81')},
  };
}

std::vector<FuzzSeed> HorseRegisterSeeds() {
  const std::string three = HorseRegisterFile(ThreeHorses());
  return {
      {"horse_register", "three-horses", three},
      {"horse_register", "last-record-cut-short", three.substr(0, 2 * kHorseRecordSize + 1000)},
      {"horse_register", "nul-in-keys-and-names",
       WithNulAt(three, {5, 40, kHorseRecordSize + 9, kHorseRecordSize + 904 + 40})},
  };
}

std::string SmallCard() {
  RaceCardLine race = UnnamedRace();
  race.runnerCount = std::nullopt;
  race.entries = {Entry(1, "2000100002")};
  return RaceCardFile({race});
}

std::string SmallRegister() { return HorseRegisterFile({Horse("2000100002", {})}); }

std::vector<LhaEntry> DataFiles() {
  return {{.name = "JracDen1.dat", .data = SmallCard()},
          {.name = "JracUmaj.dat", .data = SmallRegister()}};
}

std::vector<FuzzSeed> ArchiveSeeds() {
  const std::vector<LhaEntry> hostileNames = {
      {.name = "../JracDen1.dat", .data = "a"},
      {.name = "/etc/JracUmaj.dat", .data = "b"},
      {.name = "sub\\..\\x.dat", .data = "c"},
      {.name = "..", .data = "d"},
      {.name = ".kelvane-unpacking", .data = "e"},
      {.name = "JracKisi.dat", .kind = LhaKind::kDirectory},
      {.name = "link", .kind = LhaKind::kSymlink, .linkTarget = "/etc/passwd"}};
  const std::vector<LhaEntry> lyingSizes = {
      {.name = "JracDen1.dat", .data = "short", .declaredSize = 3},
      {.name = "JracUmaj.dat", .data = "crc", .corruptCrc = true},
      {.name = "huge.dat", .data = "x", .declaredSize = std::uint64_t{3} << 30}};
  return {
      {"archive_extraction", "lh0-level0", PackLha(DataFiles(), LhaMethod::kStored, 0)},
      {"archive_extraction", "lh5-level1", PackLha(DataFiles(), LhaMethod::kLh5, 1)},
      {"archive_extraction", "lh6-level2", PackLha(DataFiles(), LhaMethod::kLh6, 2)},
      {"archive_extraction", "lh7-level2", PackLha(DataFiles(), LhaMethod::kLh7, 2)},
      {"archive_extraction", "hostile-names", PackLha(hostileNames, LhaMethod::kStored, 2)},
      {"archive_extraction", "lying-sizes", PackLha(lyingSizes, LhaMethod::kStored, 2)},
      {"archive_extraction", "race-card-is-a-folder",
       PackLha({{.name = "JracDen1.dat", .kind = LhaKind::kDirectory},
                {.name = "JracUmaj.dat", .data = "x"}},
               LhaMethod::kLh5, 1)},
  };
}

// The record of the card's race `number` with its runners read from `horses`, as the
// conversion builds it.
Bytes RecordOf(const std::string& card, int number, const std::string& horses) {
  struct : MessageSink {
    void ShowMessage(const Message&) override {}
  } quiet;
  Race race;
  RaceCard("JracDen1.dat", card).ReadRace(number, race, quiet);
  const HorseRegister registerOfHorses(horses);
  std::vector<Runner> runners(kEntrySlots);
  for (int k = 1; k <= race.runnerCount; ++k) {
    registerOfHorses.ReadHorseRecord(race.horseIds[k], race.year, runners[k - 1], quiet);
  }
  EstimateOdds(runners.data(), race.runnerCount);
  Bytes record;
  AppendRacePart(record, race, true);
  for (int k = 1; k <= race.runnerCount; ++k) AppendRunnerPart(record, race, k, runners[k - 1]);
  return record;
}

std::string FileOf(const std::vector<Bytes>& records) {
  test::InMemoryDatabase db(kPalmTime);
  for (const Bytes& record : records) db.AddRecord(record);
  const Bytes file = db.Serialize();
  return std::string(file.begin(), file.end());
}

std::vector<FuzzSeed> RaceDatabaseSeeds() {
  const std::string card = RaceCardFile({GradeRace(), UnnamedRace()});
  const std::string horses = HorseRegisterFile(ThreeHorses());
  const std::string two = FileOf({RecordOf(card, 1, horses), RecordOf(card, 2, horses)});
  return {
      {"race_database", "empty", FileOf({})},
      {"race_database", "two-races", two},
      {"race_database", "cut-inside-a-runner", two.substr(0, two.size() / 2)},
  };
}

}  // namespace

std::vector<FuzzSeed> FuzzSeeds() {
  std::vector<FuzzSeed> seeds;
  for (auto&& group : {RaceCardSeeds(), HorseRegisterSeeds(), ArchiveSeeds(), RaceDatabaseSeeds()}) {
    seeds.insert(seeds.end(), group.begin(), group.end());
  }
  return seeds;
}

}  // namespace kelvane::test
