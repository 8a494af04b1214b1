#include "support/sample_archives.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <random>

#include "support/jravan_builder.h"
#include "support/lha_writer.h"

namespace kelvane::test {
namespace {

// Draws from std::minstd_rand, whose sequence the C++ standard fixes, and never
// through a distribution (their results differ between libraries).
class Dice {
 public:
  explicit Dice(unsigned seed) : engine_(seed) {}
  int Below(int n) { return static_cast<int>(engine_() % static_cast<unsigned>(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
  }

 private:
  std::minstd_rand engine_;
};

constexpr std::array<const char*, 20> kNameHeads = {
    "サクラ", "ゴールド", "シルバー", "ミラクル", "スター", "ブルー", "レッド",
    "キタノ", "ミスター", "クイーン", "ダイヤ", "ホワイト", "グリーン", "ユメノ",
    "ハッピー", "ラッキー", "ワンダー", "アサヒ", "カゼノ", "ハナノ"};
constexpr std::array<const char*, 20> kNameTails = {
    "ウインド", "スプリング", "ローズ", "ライト", "ブレイブ", "ファイター", "ドリーム",
    "フラッシュ", "サンダー", "ムーン", "キング", "ボーイ", "レディ", "ソング",
    "ダンサー", "ハート", "ジュエル", "アロー", "ビーム", "クラウン"};
constexpr std::array<const char*, 16> kPedigreeNames = {
    "ブライトスター", "ノーブルキング", "サイレントウェイ", "ゴールデンホーン",
    "Ｓｔｏｒｍ　Ｒｉｄｅｒ", "Ｎｏｒｔｈｅｒｎ　Ｌｉｇｈｔ", "Ｓｅａ　Ｂｒｅｅｚｅ",
    "ミッドナイトラン", "ハルカゼ", "ユキノハナ", "サクラヒメ", "ミスティローズ",
    "ブルーベル", "Ｌａｄｙ　Ｍａｙ", "Ｍｉｓｓ　Ｏ’Ｈａｒａ", "コハルビヨリ"};
constexpr std::array<const char*, 18> kJockeys = {
    "青木", "石川", "上田", "大野", "川村", "木下", "小林", "斎藤", "島田",
    "杉山", "田中", "中島", "西村", "浜田", "藤井", "松本", "森田", "山口"};
constexpr std::array<const char*, 10> kTrainers = {
    "佐藤", "鈴木", "高橋", "伊藤", "渡辺", "加藤", "吉田", "山本", "中村", "小川"};
constexpr std::array<const char*, 6> kPeople = {
    "山本　一郎", "サンプル　レーシング", "北星　ファーム", "佐々木　花子", "東風　牧場",
    "青空　ステーブル"};
constexpr std::array<const char*, 10> kLosingMargins = {
    "H__", "_12", "K__", "_34", "1__", "112", "2__", "3__", "5__", "T__"};

constexpr int kYear = 2003;
constexpr int kMonthDay = 1228;
constexpr int kSunday = 2;

enum RaceType { k2YearOld = 11, k3YearOldAndUp = 13, kJumps3YearOldAndUp = 18 };
enum Condition { kMaiden = 703, kNewcomer = 701, k500 = 5, k1000 = 10, k1600 = 16, kOpen = 999 };
enum Track { kTurfRight = 17, kTurfRightOuter = 18, kDirtRight = 24, kJumpsTurf = 54 };
enum WeightType { kHandicap = 1, kAllowance = 2, kAgeWeight = 3, kFixed = 4 };

struct RacePlan {
  int postTime;
  const char* name;  // empty: the race is known by its type and class
  const char* gradeCode;
  int raceTypeCode;
  int conditionCode;
  const char* raceSymbolCode;
  int weightTypeCode;
  int distance;
  int trackCode;
  int runners;
};

struct MeetingPlan {
  const char* fileName;
  const char* racecourseCode;
  int meetingNumber;
  int meetingDay;
  unsigned seed;
  int firstHorse;  // where this meeting's horses start in the name list
  std::array<RacePlan, 12> races;
};

const MeetingPlan kMeetings[] = {
    {"20031228-06-nakayama.lzh", "06", 5, 8, 20031228, 0,
     {{{950, "", "", k2YearOld, kMaiden, "A00", kAgeWeight, 1200, kDirtRight, 16},
       {1020, "", "", k2YearOld, kMaiden, "A00", kAgeWeight, 1600, kTurfRight, 14},
       {1050, "", "", kJumps3YearOldAndUp, kMaiden, "000", kFixed, 3200, kJumpsTurf, 10},
       {1120, "", "", k2YearOld, kNewcomer, "000", kAgeWeight, 2000, kTurfRightOuter, 12},
       {1210, "", "", k2YearOld, kNewcomer, "A00", kAgeWeight, 1800, kDirtRight, 11},
       {1240, "", "", k3YearOldAndUp, k500, "A00", kFixed, 1200, kDirtRight, 16},
       {1310, "", "", k3YearOldAndUp, k500, "A00", kFixed, 1800, kTurfRight, 15},
       {1340, "", "", k3YearOldAndUp, k1000, "A00", kFixed, 1800, kDirtRight, 13},
       {1415, "ひいらぎ賞", "E", k2YearOld, k500, "A00", kAgeWeight, 1600, kTurfRightOuter, 10},
       {1450, "ファイナルカップ", "E", k3YearOldAndUp, k1600, "A00", kHandicap, 2500,
        kTurfRightOuter, 16},
       {1525, "ウインターステークス", "C", k3YearOldAndUp, kOpen, "N00", kAllowance, 2000,
        kTurfRight, 18},
       {1600, "", "", k3YearOldAndUp, k1000, "A00", kFixed, 1200, kDirtRight, 8}}}},
    {"20031228-09-hanshin.lzh", "09", 5, 8, 20031229, 200,
     {{{1000, "", "", k2YearOld, kMaiden, "A00", kAgeWeight, 1400, kDirtRight, 15},
       {1030, "", "", k2YearOld, kMaiden, "A00", kAgeWeight, 1200, kTurfRight, 16},
       {1100, "", "", kJumps3YearOldAndUp, kMaiden, "000", kFixed, 3000, kJumpsTurf, 9},
       {1130, "", "", k2YearOld, kNewcomer, "000", kAgeWeight, 1600, kTurfRightOuter, 13},
       {1220, "", "", k3YearOldAndUp, k500, "A00", kFixed, 1800, kDirtRight, 16},
       {1250, "", "", k3YearOldAndUp, k500, "A00", kFixed, 2000, kTurfRight, 12},
       {1320, "", "", k3YearOldAndUp, k1000, "A00", kFixed, 1400, kDirtRight, 16},
       {1350, "", "", k3YearOldAndUp, k1000, "A00", kFixed, 2200, kTurfRightOuter, 11},
       {1425, "寒椿賞", "E", k2YearOld, k500, "A00", kAgeWeight, 1400, kTurfRight, 9},
       {1500, "六甲ハンデキャップ", "E", k3YearOldAndUp, k1600, "A00", kHandicap, 1600,
        kTurfRightOuter, 14},
       {1535, "ウィンターチャレンジＳ", "B", k3YearOldAndUp, kOpen, "N00", kAllowance, 2000,
        kTurfRightOuter, 17},
       {1610, "", "", k3YearOldAndUp, k1000, "A00", kFixed, 1800, kDirtRight, 8}}}},
};

// MMDD and year of the day `days` before the meeting day.
std::pair<int, int> DateBefore(int days) {
  using namespace std::chrono;
  const year_month_day date{sys_days{year{kYear} / 12 / 28} - std::chrono::days{days}};
  return {int{date.year()}, static_cast<int>(unsigned{date.month()} * 100 + unsigned{date.day()})};
}

// Frames 1 to 8; with more than eight runners the outer frames take two (or three).
int FrameOf(int number, int runners) {
  if (runners <= 8) return number;
  const int base = runners / 8;
  const int doubled = runners % 8;  // the last `doubled` frames hold one more
  const int inSingleFrames = (8 - doubled) * base;
  return number <= inSingleFrames ? (number - 1) / base + 1
                                  : 8 - doubled + (number - inSingleFrames - 1) / (base + 1) + 1;
}

// A finishing time as the register writes it: minutes, seconds and tenths ("1345").
int FinishTime(int distance, Dice& dice) {
  const int tenths = distance * 10 / 16 + dice.Between(-15, 25);
  return tenths / 600 * 1000 + tenths % 600;
}

std::string HorseName(int serial) {
  const auto head = static_cast<std::size_t>(serial % 20);
  const auto tail = static_cast<std::size_t>((serial / 20 + serial) % 20);
  return std::string(kNameHeads[head]) + kNameTails[tail];
}

// A past run of a horse usually ridden by jockey `jockey` and trained by `trainer`
// (indexes into the name lists) that tends to race near `earlyPosition`.
PastRunEntry PastRunOf(const RacePlan& today, int daysBefore, int jockey, int trainer,
                       int earlyPosition, Dice& dice) {
  const auto [year, monthDay] = DateBefore(daysBefore);
  const int field = dice.Between(8, 18);
  const bool stopped = dice.Chance(3);
  const int position = stopped ? 0 : dice.Between(1, field);
  const int distance = std::clamp(today.distance + 200 * dice.Between(-2, 2), 1000, 3600);
  auto corner = [&] { return std::clamp(earlyPosition + dice.Between(-2, 2), 1, field); };
  const bool twoCorners = distance <= 1200;  // the register leaves corners 1 and 2 at 0
  const int rider = dice.Chance(70) ? jockey : dice.Below(static_cast<int>(kJockeys.size()));
  return PastRunEntry{
      .year = year,
      .monthDay = monthDay,
      .racecourseCode = Text(std::string(dice.Pick(std::array{"05", "06", "08", "09", "10"}))),
      .meetingNumber = dice.Between(1, 5),
      .meetingDay = dice.Between(1, 8),
      .raceNumber = dice.Between(1, 12),
      .gradeCode = dice.Chance(10) ? "E" : "",
      .raceTypeCode = today.raceTypeCode,
      .weightTypeCode = today.weightTypeCode,
      .conditionCode = today.conditionCode == kNewcomer ? kMaiden : today.conditionCode,
      .distance = distance,
      .trackCode = today.trackCode,
      .goingCode = dice.Pick(std::array{1, 1, 1, 2, 3, 4}),
      .weatherCode = dice.Pick(std::array{1, 1, 2, 3}),
      .weightCarried = 10 * dice.Between(53, 58),
      .jockeyCode = 1000 + rider,
      .jockeyName = kJockeys[static_cast<std::size_t>(rider)],
      .trainerCode = 2000 + trainer,
      .trainerName = kTrainers[static_cast<std::size_t>(trainer)],
      .resultFlag = stopped ? 1 : 0,
      .valueAt116 = field,
      .valueAt119 = dice.Between(1, field),
      .cornerPositions = {twoCorners ? 0 : corner(), twoCorners ? 0 : corner(), corner(),
                          corner()},
      .finishTime = FinishTime(distance, dice),
      .marginCode = position == 1 ? "_12" : dice.Pick(kLosingMargins),
      .finishPosition = position,
      .valueAt147 = dice.Between(1, field),
      .valueAt149 = dice.Between(430, 520),
      .otherHorseName = HorseName(dice.Between(400, 799)),
      .timeDifference = position == 1 ? -dice.Between(0, 5) : dice.Between(0, 30),
  };
}

struct Starter {
  RaceCardEntry entry;
  HorseRecord horse;
};

Starter StarterOf(const RacePlan& race, int number, int serial, Dice& dice) {
  const bool twoYearOld = race.raceTypeCode == k2YearOld;
  const int birthYear = twoYearOld ? 2001 : dice.Between(1996, 2000);
  const int sex = twoYearOld ? dice.Between(1, 2) : dice.Pick(std::array{1, 1, 1, 2, 2, 3});
  const int weight = race.trackCode == kJumpsTurf         ? 600
                     : race.weightTypeCode == kHandicap   ? 10 * dice.Between(50, 58)
                     : race.weightTypeCode == kAgeWeight  ? (sex == 2 ? 540 : 550)
                                                          : (sex == 2 ? 550 : 570);
  const int trainerCentre = dice.Between(1, 2);
  const int jockey = dice.Below(static_cast<int>(kJockeys.size()));
  const int trainer = dice.Below(static_cast<int>(kTrainers.size()));
  const std::string id = std::to_string(birthYear) + std::to_string(100000 + serial);
  const std::string name = HorseName(serial);

  HorseRecord horse{
      .key = id,
      .horseName = name,
      .birthYear = birthYear,
      .birthMonthDay = 100 * dice.Between(3, 5) + dice.Between(1, 28),
      .breedCode = 1,
      .sexCode = sex,
      .coatColourCode = dice.Pick(std::array{1, 3, 3, 4, 4, 5, 7}),
      .horseMarkCode = dice.Pick(std::array{0, 0, 0, 0, 3, 6}),
      .textAt555 = trainerCentre == 1 ? "美浦" : "栗東",
      .amountAt588 = dice.Between(0, 9000),
      .amountAt595 = dice.Between(0, 3000),
      .amountsAt602 = {dice.Between(0, 20000), dice.Between(0, 5000)},
  };
  for (auto& pedigree : horse.pedigreeNames) pedigree = dice.Pick(kPedigreeNames);
  horse.nameAt444 = dice.Pick(kPeople);
  horse.nameAt490 = dice.Pick(kPeople);

  const int pastRuns = race.conditionCode == kNewcomer ? 0
                       : twoYearOld                    ? dice.Between(1, 4)
                                                       : dice.Between(3, 5);
  const int earlyPosition = dice.Pick(std::array{1, 2, 3, 4, 5, 6, 8, 10, 12, 14});
  int daysBefore = 0;
  for (int m = 0; m < pastRuns; ++m) {
    daysBefore += dice.Between(14, 56);
    horse.pastRuns.push_back(PastRunOf(race, daysBefore, jockey, trainer, earlyPosition, dice));
  }
  for (int g = 0; g < 24 && pastRuns > 0; ++g) {
    horse.resultCounts[g] = {dice.Below(3), dice.Below(3), dice.Below(2), dice.Below(5)};
  }

  RaceCardEntry entry{
      .horseNumber = number,
      .frameNumber = FrameOf(number, race.runners),
      .horseId = id,
      .horseName = name,
      .sexCode = sex,
      .weightCarried = weight,
      .entryFlag = 0,
      .jockeyCode = 1000 + jockey,
      .jockeyName = kJockeys[static_cast<std::size_t>(jockey)],
      .trainerFlag = trainerCentre,
      .trainerCode = 2000 + trainer,
      .trainerName = kTrainers[static_cast<std::size_t>(trainer)],
  };
  return {entry, horse};
}

SampleArchive ArchiveOf(const MeetingPlan& meeting) {
  Dice dice(meeting.seed);
  std::vector<RaceCardLine> lines;
  std::vector<HorseRecord> horses;
  int serial = meeting.firstHorse;
  for (int r = 0; r < 12; ++r) {
    const RacePlan& race = meeting.races[static_cast<std::size_t>(r)];
    RaceCardLine line{
        .year = kYear,
        .monthDay = kMonthDay,
        .racecourseCode = meeting.racecourseCode,
        .meetingNumber = meeting.meetingNumber,
        .meetingDay = meeting.meetingDay,
        .raceNumber = r + 1,
        .weekdayCode = kSunday,
        .raceName = race.name,
        .gradeCode = race.gradeCode,
        .raceTypeCode = race.raceTypeCode,
        .raceSymbolCode = race.raceSymbolCode,
        .weightTypeCode = race.weightTypeCode,
        .conditionCodes = {race.conditionCode, race.conditionCode, race.conditionCode,
                           race.conditionCode, race.conditionCode},
        .distance = race.distance,
        .trackCode = race.trackCode,
        .amountsAt148 = {race.conditionCode == kOpen ? 4300 : 1000, 400, 250, 150, 100},
        .postTime = race.postTime,
        .saleCode = 2,
    };
    for (int number = 1; number <= race.runners; ++number) {
      Starter starter = StarterOf(race, number, serial++, dice);
      line.entries.push_back(starter.entry);
      horses.push_back(std::move(starter.horse));
    }
    lines.push_back(std::move(line));
  }
  std::sort(horses.begin(), horses.end(), [](const HorseRecord& a, const HorseRecord& b) {
    return a.key.cp932() < b.key.cp932();
  });
  return {meeting.fileName, PackLha({{.name = "JracDen1.dat", .data = RaceCardFile(lines)},
                                     {.name = "JracUmaj.dat", .data = HorseRegisterFile(horses)}},
                                    LhaMethod::kLh5)};
}

}  // namespace

std::vector<SampleArchive> SampleArchives() {
  std::vector<SampleArchive> archives;
  for (const MeetingPlan& meeting : kMeetings) archives.push_back(ArchiveOf(meeting));
  return archives;
}

}  // namespace kelvane::test
