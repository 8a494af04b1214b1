#include "support/lha_fixtures.h"

#include "support/jravan_builder.h"

namespace kelvane::test {
namespace {

std::string HorseId(int horse) { return std::to_string(2001100000 + horse); }

RaceCardLine Race(int number) {
  RaceCardLine race{.year = 2003, .monthDay = 1228, .racecourseCode = "06", .meetingNumber = 5,
                    .meetingDay = 8, .raceNumber = number, .raceName = "フィクスチャー賞",
                    .raceTypeCode = 13, .distance = 1600 + 400 * number, .trackCode = 17,
                    .postTime = 1000 + 30 * number};
  for (int k = 1; k <= 3; ++k) {
    race.entries.push_back({.horseNumber = k, .frameNumber = k, .horseId = HorseId(3 * number + k),
                            .horseName = "ホース" + std::to_string(3 * number + k),
                            .weightCarried = 560, .jockeyName = "騎手"});
  }
  return race;
}

HorseRecord Horse(int horse) {
  return {.key = HorseId(horse), .horseName = "ホース" + std::to_string(horse), .birthYear = 2000,
          .pastRuns = {{.year = 2003, .monthDay = 1130, .racecourseCode = "05", .distance = 2000,
                        .finishPosition = horse % 5 + 1}}};
}

// The day with every header's attribute byte set to `attribute`.
std::vector<LhaEntry> DayWithAttribute(std::uint8_t attribute) {
  auto day = FixtureDay();
  for (auto& entry : day) entry.attribute = attribute;
  return day;
}

}  // namespace

std::vector<LhaEntry> FixtureDay() {
  std::vector<HorseRecord> horses;
  for (int horse = 4; horse <= 9; ++horse) horses.push_back(Horse(horse));
  return {{.name = "JracDen1.dat", .data = RaceCardFile({Race(1), Race(2)})},
          {.name = "JracUmaj.dat", .data = HorseRegisterFile(horses)}};
}

std::vector<LhaFixture> LhaFixtures() {
  std::vector<LhaFixture> fixtures;
  // A read-only file (0x21), no attribute (0x00), read-only without "archive" (0x01).
  for (const int level : {1, 2}) {
    for (const auto& [attribute, name] : {std::pair{0x21, "attr21"}, {0x00, "attr00"}, {0x01, "attr01"}}) {
      fixtures.push_back({"day-h" + std::to_string(level) + "-" + name + ".lzh",
                          PackLha(DayWithAttribute(attribute), LhaMethod::kLh5, level), true});
    }
  }
  fixtures.push_back({"day-h3-attr21.lzh", PackLha(DayWithAttribute(0x21), LhaMethod::kLh5, 3), true});
  auto folderFirst = FixtureDay();
  for (auto& entry : folderFirst) entry.name = "day/" + entry.name;
  folderFirst.insert(folderFirst.begin(), {.name = "day/", .kind = LhaKind::kDirectory, .attribute = 0x10});
  fixtures.push_back({"day-h1-folder10.lzh", PackLha(folderFirst, LhaMethod::kLh5, 1), true});
  fixtures.push_back({"day-noend.lzh", PackLha(FixtureDay(), LhaMethod::kLh5, 2, LhaEnd::kNoEndByte), true});
  // Only the race card, stored as it is under the method's id.
  const std::vector<LhaEntry> card = {FixtureDay().front()};
  fixtures.push_back({"card-lh1.lzh", PackLha(card, LhaMethod::kLh1Id), false});
  fixtures.push_back({"card-pm2.lzh", PackLha(card, LhaMethod::kPm2Id), false});
  return fixtures;
}

}  // namespace kelvane::test
