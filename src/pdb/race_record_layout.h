#pragma once

// The race record: one record of the race database per race, as the handheld viewer
// reads it.
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
// Each part is described once below, field by field (name, offset, encoding, width),
// by a function that hands every field of a part to a visitor. The encoder, the
// decoder and the JSON of `kelvane dump` are such visitors, so the layout is written
// in one place. How a Race, Runner and PastRun give the values of the fields is
// race_record.cpp's business.

#include <algorithm>
#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "pdb/big_endian.h"

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

enum class Encoding : std::uint8_t {
  kNumber,    // big-endian, `width` bytes
  kText,      // text `width`
  kBlock,     // a nested part of `width` bytes (a past-run block)
  kReserved,  // `width` zero bytes
};

// One field of a part. An array field holds its elements one after another, each
// `width` bytes (an array of arrays: its innermost values in order).
struct Field {
  std::string_view name;  // as the design names it; the key in the JSON of dump
  std::size_t offset;     // from the start of the part
  Encoding encoding;
  std::size_t width;      // of one value
};

constexpr Field U8(std::string_view name, std::size_t offset) {
  return {name, offset, Encoding::kNumber, 1};
}
constexpr Field U16(std::string_view name, std::size_t offset) {
  return {name, offset, Encoding::kNumber, 2};
}
constexpr Field U32(std::string_view name, std::size_t offset) {
  return {name, offset, Encoding::kNumber, 4};
}
constexpr Field Text(std::string_view name, std::size_t offset, std::size_t width) {
  return {name, offset, Encoding::kText, width};
}
constexpr Field Blocks(std::string_view name, std::size_t offset, std::size_t width) {
  return {name, offset, Encoding::kBlock, width};
}
constexpr Field Zeros(std::size_t offset, std::size_t width) {
  return {"", offset, Encoding::kReserved, width};
}

// The parts' values in the record's own terms: split dates and times, index numbers,
// texts. `TextType` is std::string for a record read back, std::string_view for the
// values of a record being written.
template <typename TextType>
struct BasicPastRunBlock {
  std::uint16_t year = 0;
  std::uint16_t racecourseIndex = 0;
  std::uint16_t distance = 0;
  std::uint16_t valueAt116 = 0;
  std::uint16_t valueAt119 = 0;
  std::array<std::uint16_t, 2> valuesAt130{};
  std::uint16_t valueAt209 = 0;
  std::uint16_t timeDifference = 0;
  std::uint16_t valueAt149 = 0;
  std::uint16_t weightCarried = 0;
  std::uint32_t finishTime = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t meetingNumber = 0;
  std::uint8_t meetingDay = 0;
  std::uint8_t raceNumber = 0;
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
  TextType textAt16;
  TextType conditionText;
  TextType jockeyName;
  TextType trainerName;
  TextType otherHorseName;

  bool operator==(const BasicPastRunBlock&) const = default;
};

template <typename TextType>
struct BasicRunnerPart {
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
  TextType horseName;
  TextType jockeyName;
  TextType textAt555;
  TextType textAt420;
  TextType nameAt444;
  TextType nameAt490;
  std::array<TextType, 6> pedigreeNames;
  std::array<BasicPastRunBlock<TextType>, kRecordedPastRuns> pastRuns;

  bool operator==(const BasicRunnerPart&) const = default;
};

template <typename TextType>
struct BasicRacePart {
  std::uint16_t year = 0;
  std::uint16_t racecourseIndex = 0;
  std::uint16_t valueAt83 = 0;
  std::uint16_t valueAt319 = 0;
  std::uint16_t distance = 0;
  std::array<std::uint32_t, 5> amountsAt148{};
  std::uint16_t valueAt237 = 0;
  std::uint16_t valueAt233 = 0;
  std::uint16_t trackCode = 0;
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t meetingNumber = 0;
  std::uint8_t meetingDay = 0;
  std::uint8_t raceNumber = 0;
  std::uint8_t gradeIndex = 0;
  std::uint8_t raceTypeIndex = 0;
  std::uint8_t weightTypeCode = 0;
  std::uint8_t saleCode = 0;
  std::uint8_t runnerCount = 0;
  std::uint8_t postHour = 0;
  std::uint8_t postMinute = 0;
  std::uint8_t alarm = 0;
  TextType raceName;
  TextType raceSymbolText;
  TextType textAt267;
  TextType textAt294;

  bool operator==(const BasicRacePart&) const = default;
};

using PastRunBlock = BasicPastRunBlock<std::string>;
using RunnerPart = BasicRunnerPart<std::string>;
using RacePart = BasicRacePart<std::string>;

template <typename T, template <typename> typename Part>
concept PartOf = std::same_as<T, Part<std::string>> || std::same_as<T, Part<std::string_view>>;

// The layout. Each function calls `visit(member, field)` for every field of the part
// in record order and `visit.Reserved(field)` for the zero bytes between fields.

template <typename Part, typename Visitor>
  requires PartOf<std::remove_const_t<Part>, BasicRacePart>
void VisitFields(Part& r, Visitor& visit) {
  visit(r.year, U16("year", 0));
  visit(r.racecourseIndex, U16("racecourseIndex", 2));
  visit(r.valueAt83, U16("valueAt83", 4));
  visit(r.valueAt319, U16("valueAt319", 6));
  visit(r.distance, U16("distance", 8));
  visit(r.amountsAt148, U32("amountsAt148", 10));  // 5 of them
  visit(r.valueAt237, U16("valueAt237", 30));
  visit(r.valueAt233, U16("valueAt233", 32));
  visit(r.trackCode, U16("trackCode", 34));
  visit(r.month, U8("month", 36));
  visit(r.day, U8("day", 37));
  visit(r.meetingNumber, U8("meetingNumber", 38));
  visit(r.meetingDay, U8("meetingDay", 39));
  visit(r.raceNumber, U8("raceNumber", 40));
  visit(r.gradeIndex, U8("gradeIndex", 41));
  visit(r.raceTypeIndex, U8("raceTypeIndex", 42));
  visit(r.weightTypeCode, U8("weightTypeCode", 43));
  visit(r.saleCode, U8("saleCode", 44));
  visit(r.runnerCount, U8("runnerCount", kRunCountAt));
  visit(r.postHour, U8("postHour", 46));
  visit(r.postMinute, U8("postMinute", 47));
  visit(r.alarm, U8("alarm", 48));
  visit.Reserved(Zeros(49, 1));
  visit(r.raceName, Text("raceName", 50, 22));
  visit(r.raceSymbolText, Text("raceSymbolText", 72, 32));
  visit(r.textAt267, Text("textAt267", 104, 38));
  visit(r.textAt294, Text("textAt294", 142, 10));
}

template <typename Part, typename Visitor>
  requires PartOf<std::remove_const_t<Part>, BasicRunnerPart>
void VisitFields(Part& r, Visitor& visit) {
  visit(r.weightCarried, U16("weightCarried", 0));
  visit(r.estimatedOdds, U16("estimatedOdds", 2));
  visit(r.birthYear, U16("birthYear", 4));
  visit.Reserved(Zeros(6, 2));
  visit(r.amountsAt602, U32("amountsAt602", 8));  // 2 of them
  visit(r.amountAt588, U32("amountAt588", 16));
  visit(r.frameNumber, U8("frameNumber", 20));
  visit(r.horseNumber, U8("horseNumber", 21));
  visit(r.sexCode, U8("sexCode", 22));
  visit(r.age, U8("age", 23));
  visit(r.coatColourCode, U8("coatColourCode", 24));
  visit(r.horseMarkCode, U8("horseMarkCode", 25));
  visit(r.entryFlagCode, U8("entryFlagCode", 26));
  visit(r.jockeyChanged, U8("jockeyChanged", 27));
  visit(r.trainerFlagCode, U8("trainerFlagCode", 28));
  visit(r.runningStyle, U8("runningStyle", 29));
  visit(r.birthMonth, U8("birthMonth", 30));
  visit(r.birthDay, U8("birthDay", 31));
  visit(r.resultCounts, U8("resultCounts", 32));  // 24 groups of 4
  visit(r.pastRunCount, U8("pastRunCount", 128));
  visit.Reserved(Zeros(129, 1));
  visit(r.horseName, Text("horseName", 130, 38));
  visit(r.jockeyName, Text("jockeyName", 168, 10));
  visit(r.textAt555, Text("textAt555", 178, 10));
  visit(r.textAt420, Text("textAt420", 188, 26));
  visit(r.nameAt444, Text("nameAt444", 214, 42));
  visit(r.nameAt490, Text("nameAt490", 256, 42));
  visit(r.pedigreeNames, Text("pedigreeNames", 298, 38));  // 6 of them
  visit(r.pastRuns, Blocks("pastRuns", kPastRunsAt, kPastRunBlockSize));  // 5 of them
}

template <typename Part, typename Visitor>
  requires PartOf<std::remove_const_t<Part>, BasicPastRunBlock>
void VisitFields(Part& b, Visitor& visit) {
  visit(b.year, U16("year", 0));
  visit(b.racecourseIndex, U16("racecourseIndex", 2));
  visit(b.distance, U16("distance", 4));
  visit(b.valueAt116, U16("valueAt116", 6));
  visit(b.valueAt119, U16("valueAt119", 8));
  visit(b.valuesAt130, U16("valuesAt130", 10));  // 2 of them
  visit(b.valueAt209, U16("valueAt209", 14));
  visit(b.timeDifference, U16("timeDifference", 16));
  visit(b.valueAt149, U16("valueAt149", 18));
  visit(b.weightCarried, U16("weightCarried", 20));
  visit(b.finishTime, U32("finishTime", 22));
  visit(b.month, U8("month", 26));
  visit(b.day, U8("day", 27));
  visit(b.meetingNumber, U8("meetingNumber", 28));
  visit(b.meetingDay, U8("meetingDay", 29));
  visit(b.raceNumber, U8("raceNumber", 30));
  visit(b.gradeIndex, U8("gradeIndex", 31));
  visit(b.raceTypeCode, U8("raceTypeCode", 32));  // the code itself, not its index
  visit(b.raceSymbolValue, U8("raceSymbolValue", 33));
  visit(b.weightTypeCode, U8("weightTypeCode", 34));
  visit(b.trackCode, U8("trackCode", 35));
  visit(b.valueAt72, U8("valueAt72", 36));
  visit(b.valueAt74, U8("valueAt74", 37));
  visit(b.valueAt76, U8("valueAt76", 38));
  visit(b.goingCode, U8("goingCode", 39));
  visit(b.weatherCode, U8("weatherCode", 40));
  visit(b.valueAt80, U8("valueAt80", 41));
  visit(b.valueAt82, U8("valueAt82", 42));
  visit(b.valueAt83, U8("valueAt83", 43));
  visit(b.valueAt87, U8("valueAt87", 44));
  visit(b.valueAt101, U8("valueAt101", 45));
  visit(b.cornerPositions, U8("cornerPositions", 46));  // 4 of them
  visit(b.marginIndex, U8("marginIndex", 50));
  visit(b.resultFlag, U8("resultFlag", 51));
  visit(b.finishPosition, U8("finishPosition", 52));
  visit(b.valueAt147, U8("valueAt147", 53));
  visit(b.textAt16, Text("textAt16", 54, 8));
  visit(b.conditionText, Text("conditionText", 62, 14));
  visit(b.jockeyName, Text("jockeyName", 76, 10));
  visit(b.trainerName, Text("trainerName", 86, 10));
  visit(b.otherHorseName, Text("otherHorseName", 96, 22));
}

template <typename T>
inline constexpr bool kIsArray = false;
template <typename T, std::size_t N>
inline constexpr bool kIsArray<std::array<T, N>> = true;

// How many single values an array field holds (1 for a single value).
template <typename T>
constexpr std::size_t ValueCount() {
  if constexpr (kIsArray<T>) {
    return std::tuple_size_v<T> * ValueCount<typename T::value_type>();
  } else {
    return 1;
  }
}

// Calls `each(value, offset)` for every single value of a field: the field's own
// value at its offset, or the elements of an array field one after another.
template <typename T, typename Each>
void ForEachValue(T& value, const Field& field, std::size_t offset, Each&& each) {
  using Plain = std::remove_const_t<T>;
  if constexpr (kIsArray<Plain>) {
    const std::size_t step = field.width * ValueCount<typename Plain::value_type>();
    for (std::size_t i = 0; i < value.size(); ++i) {
      ForEachValue(value[i], field, offset + i * step, each);
    }
  } else {
    each(value, offset);
  }
}

// The bytes of a part as the field list lays them out. Writes into `part`, which is
// zeroed and as long as the part.
class PartEncoder {
 public:
  explicit PartEncoder(std::span<std::uint8_t> part) : part_(part) {}

  template <typename T>
  void operator()(const T& value, const Field& field) {
    ForEachValue(value, field, field.offset, [&](const auto& one, std::size_t at) {
      const auto bytes = Place(at, field.width);
      using One = std::remove_cvref_t<decltype(one)>;
      if constexpr (std::is_integral_v<One>) {
        PutBigEndian(bytes.data(), field.width, one);
      } else if constexpr (std::is_convertible_v<const One&, std::string_view>) {
        const std::string_view text = one;
        // The rest of the field stays zero: at least its last byte.
        std::copy_n(text.begin(), std::min(text.size(), field.width - 1), bytes.begin());
      } else {
        PartEncoder block(bytes);
        VisitFields(one, block);
      }
    });
  }
  void Reserved(const Field&) {}

 private:
  // A slip in the layout shows at once instead of writing past the part.
  std::span<std::uint8_t> Place(std::size_t at, std::size_t width) const {
    if (width == 0 || at > part_.size() || width > part_.size() - at) {
      throw std::logic_error("field outside its part");
    }
    return part_.subspan(at, width);
  }

  std::span<std::uint8_t> part_;
};

// A part read back from its bytes, as the field list lays them out: numbers, and
// texts as the bytes before their first zero.
class PartDecoder {
 public:
  explicit PartDecoder(std::span<const std::uint8_t> part) : part_(part) {}

  template <typename T>
  void operator()(T& value, const Field& field) {
    ForEachValue(value, field, field.offset, [&](auto& one, std::size_t at) {
      const auto bytes = Place(at, field.width);
      using One = std::remove_cvref_t<decltype(one)>;
      if constexpr (std::is_integral_v<One>) {
        one = static_cast<One>(GetBigEndian(bytes.data(), field.width));
      } else if constexpr (std::is_same_v<One, std::string>) {
        one.assign(bytes.begin(), std::find(bytes.begin(), bytes.end(), std::uint8_t{0}));
      } else {
        PartDecoder block(bytes);
        VisitFields(one, block);
      }
    });
  }
  void Reserved(const Field&) {}

 private:
  std::span<const std::uint8_t> Place(std::size_t at, std::size_t width) const {
    if (at > part_.size() || width > part_.size() - at) {
      throw std::logic_error("field outside its part");
    }
    return part_.subspan(at, width);
  }

  std::span<const std::uint8_t> part_;
};

}  // namespace kelvane
