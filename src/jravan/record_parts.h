#pragma once

// The race record: one record of the race database per race, as the handheld viewer
// reads it, and its parts as a record read back holds them.
//
// A record is a race part of 152 bytes followed by one runner part of 1116 bytes per
// runner, so its length is 152 + 1116 * runnerCount, where runnerCount is byte 45.
// There is no tag, version or length field. Runner part j (entry j + 1 of the race
// card) starts at 152 + 1116 * j; its five past-run blocks of 118 bytes start at
// 526, 644, 762, 880 and 998 within the part. All five blocks are always present:
// those beyond the horse's pastRunCount hold zeros.
//
// Fields are encoded as:
//   u8, u16, u32  the low 8, 16 or 32 bits of the value, most significant byte first
//                 (300 is written as u8 44, -1 as u8 255);
//   text n        n bytes: the first n - 1 bytes of the CP932 text at most, then zero
//                 bytes up to n. The last byte is always 0. The cut is made on bytes,
//                 so a double-byte character that straddles byte n - 1 is split.
// MMDD dates and HHMM times are split into two u8: value / 100 and value % 100.
// Racecourse, grade, race type and margin codes are written as their index numbers.
//
// The race part holds the race card's race (date, racecourse, distance, track, post
// time, names, the start alarm chosen for the whole file); a runner part holds the
// entry's frame, number, weight carried and jockey from the race card, and the horse
// from the horse register: its data, result tallies, six pedigree names, ratings
// and estimated odds, and its last five runs.
//
// Where each field lies and what it is made from is said once, in the field tables
// of the parts of the input files that give it (race_fields.h, horse_fields.h); the
// structs below hold a part as it is read back.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvane {

inline constexpr std::size_t kRacePartSize = 152;
inline constexpr std::size_t kRunnerPartSize = 1116;
inline constexpr std::size_t kPastRunBlockSize = 118;
inline constexpr std::size_t kPastRunsAt = 526;  // in the runner part
inline constexpr std::size_t kRunCountAt = 45;   // runnerCount in the race part
inline constexpr std::size_t kRecordedPastRuns = 5;
inline constexpr std::size_t kRecordedResultGroups = 24;

// 152 + 1116 * runnerCount.
constexpr std::size_t RaceRecordSize(std::size_t runnerCount) {
  return kRacePartSize + kRunnerPartSize * runnerCount;
}

// The parts' values in the record's own terms: split dates and times, index numbers,
// the low bits of numbers, texts as the bytes before their first zero.

// When and where a race was run, as the race part and a past-run block both carry
// it: the year and the racecourse index in their first four bytes, and further on
// five bytes of month, day, meeting number, day of the meeting and race number.
struct RaceDay {
  std::uint16_t year = 0;
  std::uint16_t racecourseIndex = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t meetingNumber = 0;
  std::uint8_t meetingDay = 0;
  std::uint8_t raceNumber = 0;

  bool operator==(const RaceDay&) const = default;
};

struct PastRunBlock : RaceDay {
  std::uint16_t distance = 0;
  std::uint16_t valueAt116 = 0;
  std::uint16_t valueAt119 = 0;
  std::array<std::uint16_t, 2> valuesAt130{};
  std::uint16_t valueAt209 = 0;
  std::uint16_t timeDifference = 0;
  std::uint16_t valueAt149 = 0;
  std::uint16_t weightCarried = 0;
  std::uint32_t finishTime = 0;
  std::uint8_t gradeIndex = 0;
  std::uint8_t raceTypeCode = 0;
  std::uint8_t raceSymbolValue = 0;
  std::uint8_t weightTypeCode = 0;
  std::uint8_t trackCode = 0;
  std::uint8_t valueAt72 = 0;
  std::uint8_t valueAt74 = 0;
  std::uint8_t valueAt76 = 0;
  std::uint8_t goingCode = 0;
  std::uint8_t weatherCode = 0;
  std::uint8_t valueAt80 = 0;
  std::uint8_t valueAt82 = 0;
  std::uint8_t valueAt83 = 0;
  std::uint8_t valueAt87 = 0;
  std::uint8_t valueAt101 = 0;
  std::array<std::uint8_t, 4> cornerPositions{};
  std::uint8_t marginIndex = 0;
  std::uint8_t resultFlag = 0;
  std::uint8_t finishPosition = 0;
  std::uint8_t valueAt147 = 0;
  std::string textAt16;
  std::string conditionText;
  std::string jockeyName;
  std::string trainerName;
  std::string otherHorseName;

  bool operator==(const PastRunBlock&) const = default;
};

struct RunnerPart {
  std::uint16_t weightCarried = 0;
  std::uint16_t estimatedOdds = 0;
  std::uint16_t birthYear = 0;
  std::array<std::uint32_t, 2> amountsAt602{};
  std::uint32_t amountAt588 = 0;
  std::uint8_t frameNumber = 0;
  std::uint8_t horseNumber = 0;
  std::uint8_t sexCode = 0;
  std::uint8_t age = 0;
  std::uint8_t coatColourCode = 0;
  std::uint8_t horseMarkCode = 0;
  std::uint8_t entryFlagCode = 0;
  std::uint8_t jockeyChanged = 0;
  std::uint8_t trainerFlagCode = 0;
  std::uint8_t runningStyle = 0;
  std::uint8_t birthMonth = 0;
  std::uint8_t birthDay = 0;
  std::array<std::array<std::uint8_t, 4>, kRecordedResultGroups> resultCounts{};
  std::uint8_t pastRunCount = 0;
  std::string horseName;
  std::string jockeyName;
  std::string textAt555;
  std::string textAt420;
  std::string nameAt444;
  std::string nameAt490;
  std::array<std::string, 6> pedigreeNames;
  std::array<PastRunBlock, kRecordedPastRuns> pastRuns;

  bool operator==(const RunnerPart&) const = default;
};

struct RacePart : RaceDay {
  std::uint16_t valueAt83 = 0;
  std::uint16_t valueAt319 = 0;
  std::uint16_t distance = 0;
  std::array<std::uint32_t, 5> amountsAt148{};
  std::uint16_t valueAt237 = 0;
  std::uint16_t valueAt233 = 0;
  std::uint16_t trackCode = 0;
  std::uint8_t gradeIndex = 0;
  std::uint8_t raceTypeIndex = 0;
  std::uint8_t weightTypeCode = 0;
  std::uint8_t saleCode = 0;
  std::uint8_t runnerCount = 0;
  std::uint8_t postHour = 0;
  std::uint8_t postMinute = 0;
  std::uint8_t alarm = 0;
  std::string raceName;
  std::string raceSymbolText;
  std::string textAt267;
  std::string textAt294;

  bool operator==(const RacePart&) const = default;
};

// The layout of a record part: its size `kSize`, and ForEachField(each), which calls
// `each` for every record field of the field tables that give the part. The field
// tables specialize it.
template <typename Part>
struct PartLayout;

}  // namespace kelvane
