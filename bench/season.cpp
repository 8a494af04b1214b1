#include "bench/season.h"

#include <utility>
#include <array>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <random>
#include <vector>

#include "support/jravan_builder.h"
#include "support/lha_writer.h"

namespace kelvane::bench {
namespace {

using test::HorseRecord;
using test::PastRunEntry;
using test::RaceCardEntry;
using test::RaceCardLine;

// std::minstd_rand's sequence is fixed by the standard; distributions are not, so
// numbers are drawn from the engine directly.
class Dice {
 public:
  explicit Dice(unsigned seed) : engine_(seed) {}
  int Between(int low, int high) {
    return low + static_cast<int>(engine_() % static_cast<unsigned>(high - low + 1));
  }
  template <typename T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Between(0, static_cast<int>(N) - 1))];
  }
  // Fisher-Yates with the engine's own numbers (std::shuffle's order is not fixed).
  template <typename T>
  void Shuffle(std::vector<T>& items) {
    for (std::size_t i = items.size(); i > 1; --i) {
      std::swap(items[i - 1], items[static_cast<std::size_t>(Between(0, static_cast<int>(i) - 1))]);
    }
  }

 private:
  std::minstd_rand engine_;
};

constexpr std::array<const char*, 8> kHorseNames = {
    "サクラウインド", "ゴールドローズ", "ミラクルライト", "キタノサンダー",
    "ユメノジュエル", "ハナノクラウン", "アサヒフラッシュ", "カゼノダンサー"};
constexpr std::array<const char*, 6> kPedigreeNames = {
    "ブライトスター", "Ｓｔｏｒｍ　Ｒｉｄｅｒ", "ノーブルキング", "Ｌａｄｙ　Ｍａｙ",
    "ミッドナイトラン", "Ｓｅａ　Ｂｒｅｅｚｅ"};
constexpr std::array<const char*, 6> kPeople = {"山本　一郎", "北星　ファーム", "佐々木　花子",
                                               "東風　牧場", "青空　ステーブル", "西村　二郎"};
constexpr std::array<const char*, 6> kJockeys = {"青木", "石川", "上田", "大野", "川村", "木下"};
constexpr std::array<const char*, 4> kTrainers = {"佐藤", "鈴木", "高橋", "伊藤"};
constexpr std::array<const char*, 6> kRacecourses = {"05", "06", "08", "09", "10", "07"};
constexpr std::array<const char*, 5> kMargins = {"_12", "H__", "K__", "1__", "112"};
constexpr std::array<int, 4> kTracks = {17, 18, 24, 23};
constexpr int kRacesPerCourse = 12;
constexpr int kYear = 2003;

std::string HorseKey(int archive, int horse) {
  char key[11];
  std::snprintf(key, sizeof key, "%04d%06d", 1998 + horse % 4, archive * 10000 + horse);
  return key;
}

PastRunEntry PastRunOf(int m, Dice& dice) {
  const int position = dice.Between(0, 16);
  return PastRunEntry{
      .year = kYear,
      .monthDay = 1100 - 100 * m + dice.Between(1, 28),
      .racecourseCode = dice.Pick(kRacecourses),
      .meetingNumber = dice.Between(1, 5),
      .meetingDay = dice.Between(1, 8),
      .raceNumber = dice.Between(1, 12),
      .gradeCode = dice.Between(0, 9) == 0 ? "E" : "",
      .raceTypeCode = 13,
      .raceSymbolCode = "A00",
      .weightTypeCode = dice.Between(1, 4),
      .conditionCode = dice.Pick(std::array{5, 10, 16, 999, 703}),
      .raceName = dice.Between(0, 3) == 0 ? "ひいらぎ賞" : "",
      .distance = 1000 + 200 * dice.Between(0, 12),
      .trackCode = dice.Pick(kTracks),
      .valueAt72 = dice.Between(8, 18),
      .goingCode = dice.Between(1, 4),
      .weatherCode = dice.Between(1, 3),
      .weightCarried = 10 * dice.Between(53, 58),
      .jockeyCode = 1000 + dice.Between(0, 5),
      .jockeyName = dice.Pick(kJockeys),
      .trainerCode = 2000 + dice.Between(0, 3),
      .trainerName = dice.Pick(kTrainers),
      .resultFlag = position == 0 ? 1 : 0,
      .valueAt116 = dice.Between(8, 18),
      .valueAt119 = dice.Between(1, 18),
      .cornerPositions = {dice.Between(0, 16), dice.Between(0, 16), dice.Between(1, 16),
                          dice.Between(1, 16)},
      .finishTime = 1000 + dice.Between(100, 559),
      .marginCode = dice.Pick(kMargins),
      .finishPosition = position,
      .valueAt149 = dice.Between(430, 520),
      .amountsAt153 = {dice.Between(0, 9999), 0, 0, 0},
      .otherHorseId = HorseKey(0, dice.Between(0, 9999)),
      .otherHorseName = dice.Pick(kHorseNames),
      .timeDifference = dice.Between(0, 30),
  };
}

HorseRecord HorseOf(const SeasonPlan& plan, int archive, int horse, Dice& dice) {
  HorseRecord record{
      .key = HorseKey(archive, horse),
      .valueAt20 = dice.Between(0, 99999999),
      .horseName = kHorseNames[static_cast<std::size_t>(horse) % kHorseNames.size()],
      .birthYear = 1998 + horse % 4,
      .birthMonthDay = 100 * dice.Between(3, 5) + dice.Between(1, 28),
      .breedCode = 1,
      .sexCode = dice.Between(1, 3),
      .coatColourCode = dice.Between(1, 7),
      .horseMarkCode = dice.Pick(std::array{0, 0, 3, 6}),
      .nameAt444 = dice.Pick(kPeople),
      .nameAt490 = dice.Pick(kPeople),
      .textAt555 = dice.Between(0, 1) == 0 ? "美浦" : "栗東",
      .amountAt588 = dice.Between(0, 9000),
      .amountAt595 = dice.Between(0, 3000),
  };
  for (auto& name : record.pedigreeNames) name = dice.Pick(kPedigreeNames);
  for (auto& group : record.resultCounts) {
    group = {dice.Between(0, 3), dice.Between(0, 3), dice.Between(0, 2), dice.Between(0, 9)};
  }
  for (int m = 0; m < plan.pastRuns; ++m) record.pastRuns.push_back(PastRunOf(m, dice));
  return record;
}

RaceCardLine RaceOf(int race, int firstRunner, int runners, const std::vector<int>& drawOrder,
                    int archive, Dice& dice) {
  RaceCardLine line{
      .year = kYear,
      .monthDay = 1228,
      .racecourseCode = kRacecourses[static_cast<std::size_t>(race / kRacesPerCourse) %
                                     kRacecourses.size()],
      .meetingNumber = 5,
      .meetingDay = 8,
      .raceNumber = race % kRacesPerCourse + 1,
      .weekdayCode = 2,
      .raceName = dice.Between(0, 3) == 0 ? "ウインターステークス" : "",
      .gradeCode = dice.Between(0, 5) == 0 ? "E" : "",
      .raceTypeCode = dice.Pick(std::array{11, 13, 18}),
      .raceSymbolCode = "A00",
      .weightTypeCode = dice.Between(1, 4),
      .conditionCodes = {5, 5, 5, 5, 5},
      .distance = 1000 + 200 * dice.Between(0, 12),
      .trackCode = dice.Pick(kTracks),
      .amountsAt148 = {1000, 400, 250, 150, 100},
      .postTime = 1000 + 30 * (race % kRacesPerCourse),
      .saleCode = 2,
  };
  for (int number = 1; number <= runners; ++number) {
    const auto draw = static_cast<std::size_t>(firstRunner + number - 1) % drawOrder.size();
    const int horse = drawOrder[draw];
    line.entries.push_back(RaceCardEntry{
        .horseNumber = number,
        .frameNumber = (number + 1) / 2,
        .horseId = HorseKey(archive, horse),
        .horseName = kHorseNames[static_cast<std::size_t>(horse) % kHorseNames.size()],
        .sexCode = dice.Between(1, 3),
        .weightCarried = 10 * dice.Between(53, 58),
        .jockeyCode = 1000 + dice.Between(0, 5),
        .jockeyName = dice.Pick(kJockeys),
        .trainerFlag = dice.Between(1, 2),
        .trainerCode = 2000 + dice.Between(0, 3),
        .trainerName = dice.Pick(kTrainers),
    });
  }
  return line;
}

}  // namespace

SeasonArchive MakeSeasonArchive(const SeasonPlan& plan, int index) {
  Dice dice(static_cast<unsigned>(20030101 + index));
  std::vector<HorseRecord> horses;
  for (int h = 0; h < plan.horses; ++h) horses.push_back(HorseOf(plan, index, h, dice));

  // Runners are drawn from the register in a shuffled order, so lookups hit it
  // anywhere; only when a day has more runners than horses does a horse run twice.
  std::vector<int> drawOrder(static_cast<std::size_t>(plan.horses));
  std::iota(drawOrder.begin(), drawOrder.end(), 0);
  dice.Shuffle(drawOrder);

  SeasonArchive archive;
  std::vector<RaceCardLine> lines;
  for (int race = 0; race < plan.races; ++race) {
    const int runners = dice.Between(plan.minRunners, plan.maxRunners);
    lines.push_back(RaceOf(race, archive.runners, runners, drawOrder, index, dice));
    archive.runners += runners;
  }
  archive.races = plan.races;

  char name[32];
  std::snprintf(name, sizeof name, "day-%03d.lzh", index + 1);
  archive.fileName = name;
  archive.bytes = test::PackLha({{.name = "JracDen1.dat", .data = test::RaceCardFile(lines)},
                                 {.name = "JracUmaj.dat", .data = test::HorseRegisterFile(horses)}},
                                test::LhaMethod::kLh5);
  return archive;
}

void ExtendSeason(const SeasonPlan& plan, int count, const std::string& folder, Season& season) {
  for (int i = static_cast<int>(season.paths.size()); i < count; ++i) {
    const SeasonArchive archive = MakeSeasonArchive(plan, i);
    const std::string path = folder + archive.fileName;
    std::ofstream(path, std::ios::binary)
        .write(archive.bytes.data(), static_cast<std::streamsize>(archive.bytes.size()));
    season.paths.push_back(path);
    season.races += archive.races;
    season.runners += archive.runners;
    season.packedBytes += archive.bytes.size();
  }
}

}  // namespace kelvane::bench
