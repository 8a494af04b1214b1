#pragma once

// The fields of a horse record of the horse register ("JracUmaj.dat", 2881 bytes a
// record) and of the past-run entries in it, and where the race record carries them:
// a horse record gives its runner's part of the record (1116 bytes) with the entry's
// fields of race_fields.h, a past run its past-run block (118 bytes). Offsets are
// bytes from the start of the record or of the entry. See field_table.h for how a
// row reads.

#include <cstddef>
#include <cstdint>

#include "codes/code_rendering.h"
#include "codes/code_tables.h"
#include "codes/text_shaping.h"
#include "jravan/field_table.h"
#include "jravan/race.h"
#include "jravan/race_fields.h"
#include "jravan/ratings.h"
#include "jravan/record_parts.h"
#include "jravan/runner.h"

namespace kelvane {

inline constexpr std::size_t kHorseRecordSize = 2881;
inline constexpr std::size_t kHorseKeySize = 10;
inline constexpr std::size_t kPastRunsOfRecordAt = 904;
inline constexpr std::size_t kPastRunEntrySize = 215;

// A birth date's MMDD: the month, as the two digits before the last two.
constexpr int HundredsOfLastFourDigits(int mmdd) { return mmdd % 10000 / 100; }

// What a runner's part of the record is made from: the race card entry and the
// runner read for it.
struct RunnerPartSource {
  const Race& race;
  std::size_t entry;
  const Runner& runner;

  template <typename T>
  const T& At(PerEntry<T> Race::* member) const {
    return (race.*member)[entry];
  }
  template <typename T>
  const T& At(T Runner::* member) const {
    return runner.*member;
  }
};

// Runner part byte 27: 1 when the horse's last run was ridden by another jockey.
struct JockeyChangedFlag {
  std::uint8_t operator()(const RunnerPartSource& source, std::size_t) const {
    return JockeyChanged(source.runner, source.race.jockeyNames[source.entry]) ? 1 : 0;
  }
};

// A past-run entry m (0 to 4) starts at 904 + 215 * m of the horse record, and its
// block at 526 + 118 * m of the runner part. Four spaces in its year field end the
// past runs of a record.
inline constexpr auto kPastRunFields = Joined(RaceDayFields<PastRun, PastRunBlock>(26), [] {
  using namespace fields;
  using B = PastRunBlock;
  return TableOf(
      Text("textAt16", 16, 6, &PastRun::textAt16).To(ZeroPadded("textAt16", 54, 8, &B::textAt16)),
      TextAndChar("gradeCode", 22, 1, &PastRun::gradeCode, &PastRun::gradeChar)
          .Shown(&PastRun::gradeText, GradeText)
          .To(U8("gradeIndex", 31, &B::gradeIndex).Of(GradeIndex)),
      // The code itself, not its index.
      NumberAndText("raceTypeCode", 23, 2, &PastRun::raceTypeCode, &PastRun::raceTypeCodeText)
          .To(U8("raceTypeCode", 32, &B::raceTypeCode)),
      NumberAndText("raceSymbolCode", 25, 3, &PastRun::raceSymbolValue, &PastRun::raceSymbolCodeText)
          .To(U8("raceSymbolValue", 33, &B::raceSymbolValue)),
      NumberAndChar("weightTypeCode", 28, 1, &PastRun::weightTypeCode, &PastRun::weightTypeChar)
          .To(U8("weightTypeCode", 34, &B::weightTypeCode)),
      NumberAndText("conditionCode", 29, 3, &PastRun::conditionCode, &PastRun::conditionCodeText)
          .Shown(&PastRun::conditionText, ConditionText)
          .To(ZeroPadded("conditionText", 62, 14, &B::conditionText).From(&PastRun::conditionText)),
      Text("raceName", 32, 24, &PastRun::raceName),
      Number("distance", 56, 4, &PastRun::distance).To(U16("distance", 4, &B::distance)),
      NumberAndText("trackCode", 60, 2, &PastRun::trackCode, &PastRun::trackCodeText)
          .Shown(&PastRun::trackText, TrackText)
          .To(U8("trackCode", 35, &B::trackCode)),
      NotRead(62, 10),
      Number("valueAt72", 72, 2, &PastRun::valueAt72).To(U8("valueAt72", 36, &B::valueAt72)),
      Number("valueAt74", 74, 2, &PastRun::valueAt74).To(U8("valueAt74", 37, &B::valueAt74)),
      Number("valueAt76", 76, 2, &PastRun::valueAt76).To(U8("valueAt76", 38, &B::valueAt76)),
      NumberAndChar("goingCode", 78, 1, &PastRun::goingCode, &PastRun::goingChar)
          .Shown(&PastRun::goingText, RowOf(TrackConditionTable))
          .To(U8("goingCode", 39, &B::goingCode)),
      NumberAndChar("weatherCode", 79, 1, &PastRun::weatherCode, &PastRun::weatherChar)
          .Shown(&PastRun::weatherText, RowOf(WeatherTable))
          .To(U8("weatherCode", 40, &B::weatherCode)),
      Number("valueAt80", 80, 2, &PastRun::valueAt80).To(U8("valueAt80", 41, &B::valueAt80)),
      Number("valueAt82", 82, 1, &PastRun::valueAt82).To(U8("valueAt82", 42, &B::valueAt82)),
      NumberAndChar("valueAt83", 83, 1, &PastRun::valueAt83, &PastRun::charAt83)
          .To(U8("valueAt83", 43, &B::valueAt83)),
      Number("weightCarried", 84, 3, &PastRun::weightCarried).To(U16("weightCarried", 20, &B::weightCarried)),
      NumberAndChar("valueAt87", 87, 1, &PastRun::valueAt87, &PastRun::charAt87)
          .To(U8("valueAt87", 44, &B::valueAt87)),
      Number("jockeyCode", 88, 5, &PastRun::jockeyCode),
      Text("jockeyName", 93, 8, &PastRun::jockeyName).To(ZeroPadded("jockeyName", 76, 10, &B::jockeyName)),
      NumberAndChar("valueAt101", 101, 1, &PastRun::valueAt101, &PastRun::charAt101)
          .To(U8("valueAt101", 45, &B::valueAt101)),
      Number("trainerCode", 102, 5, &PastRun::trainerCode),
      Text("trainerName", 107, 8, &PastRun::trainerName).To(ZeroPadded("trainerName", 86, 10, &B::trainerName)),
      // 0: the run counts for the form rating.
      NumberAndChar("resultFlag", 115, 1, &PastRun::resultFlag, &PastRun::resultFlagChar)
          .To(U8("resultFlag", 51, &B::resultFlag)),
      Number("valueAt116", 116, 3, &PastRun::valueAt116).To(U16("valueAt116", 6, &B::valueAt116)),
      Value("valueAt119", 119, 3, &PastRun::valueAt119).To(U16("valueAt119", 8, &B::valueAt119)),
      Number("cornerPositions", 122, 2, &PastRun::cornerPositions)
          .To(U8("cornerPositions", 46, &B::cornerPositions)),
      // The block keeps the first two of the three.
      Number("valuesAt130", 130, 2, &PastRun::valuesAt130).To(U16("valuesAt130", 10, &B::valuesAt130)),
      Number("finishTime", 136, 4, &PastRun::finishTime).To(U32("finishTime", 22, &B::finishTime)),
      Text("marginCode", 140, 3, &PastRun::marginCode)
          .Shown(&PastRun::marginText, MarginText)
          .To(U8("marginIndex", 50, &B::marginIndex).Of(MarginIndex)),
      Number("valueAt143", 143, 2, &PastRun::valueAt143),
      Number("finishPosition", 145, 2, &PastRun::finishPosition).To(U8("finishPosition", 52, &B::finishPosition)),
      Number("valueAt147", 147, 2, &PastRun::valueAt147).To(U8("valueAt147", 53, &B::valueAt147)),
      Number("valueAt149", 149, 4, &PastRun::valueAt149).To(U16("valueAt149", 18, &B::valueAt149)),
      Number("amountsAt153", 153, 7, &PastRun::amountsAt153),
      Text("otherHorseId", 181, 10, &PastRun::otherHorseId),
      Text("otherHorseName", 191, 18, &PastRun::otherHorseName)
          .To(ZeroPadded("otherHorseName", 96, 22, &B::otherHorseName)),
      Number("valueAt209", 209, 3, &PastRun::valueAt209).To(U16("valueAt209", 14, &B::valueAt209)),
      Number("timeDifference", 212, 3, &PastRun::timeDifference).To(U16("timeDifference", 16, &B::timeDifference))
  );
}());

// The horse record. Its key is read by the register's walk over the keys, and its
// past runs by the reader, up to the first whose year is four spaces.
inline constexpr auto kHorseFields = [] {
  using namespace fields;
  using P = RunnerPart;
  return TableOf(
      Unkept("key", 0, kHorseKeySize),  // the registration number, compared
      NotRead(10, 9),
      // Two reads of one number: the second wins unless it holds no digits.
      Number("valueAt19", 19, 1, &Runner::valueAt20),
      Number("valueAt20", 20, 8, &Runner::valueAt20),
      Text("horseName", 28, 36, &Runner::horseName, TextBeforeFullWidthSpaceOrEmpty)
          .To(ZeroPadded("horseName", 130, 38, &P::horseName)),
      Number("birthYear", 64, 4, &Runner::birthYear).To(U16("birthYear", 4, &P::birthYear)),
      Value("birthMonthDay", 68, 4, &Runner::birthMonthDay)
          .To(U8("birthMonth", 30, &P::birthMonth).Of(HundredsOfLastFourDigits),
              U8("birthDay", 31, &P::birthDay).Of(UnderHundred)),
      NumberAndChar("breedCode", 72, 1, &Runner::breedCode, &Runner::breedChar)
          .Shown(&Runner::breedText, RowOf(BreedTable)),
      NumberAndChar("sexCode", 73, 1, &Runner::sexCode, &Runner::sexChar)
          .Shown(&Runner::sexText, RowOf(HorseSexTable)),
      NumberAndText("coatColourCode", 74, 2, &Runner::coatColourCode, &Runner::coatColourCodeText)
          .Shown(&Runner::coatColourText, RowOf(CoatColourTable))
          .To(U8("coatColourCode", 24, &P::coatColourCode)),
      NumberAndText("horseMarkCode", 76, 2, &Runner::horseMarkCode, &Runner::horseMarkCodeText)
          .Shown(&Runner::horseMarkText, RowOf(HorseMarkTable))
          .To(U8("horseMarkCode", 25, &P::horseMarkCode)),
      // Six names of 36 bytes, 21 bytes not read after each.
      Text("pedigreeNames", 78, 36, &Runner::pedigreeNames, HalfWidthName)
          .Every(57)
          .To(ZeroPadded("pedigreeNames", 298, 38, &P::pedigreeNames)),
      Text("textAt420", 420, 24, &Runner::textAt420, WithoutTrailingWhitespace)
          .To(ZeroPadded("textAt420", 188, 26, &P::textAt420)),
      Text("nameAt444", 444, 40, &Runner::nameAt444, CompactName).To(ZeroPadded("nameAt444", 214, 42, &P::nameAt444)),
      NotRead(484, 6),
      Text("nameAt490", 490, 40, &Runner::nameAt490, CompactName).To(ZeroPadded("nameAt490", 256, 42, &P::nameAt490)),
      NotRead(530, 20),
      Number("valueAt550", 550, 5, &Runner::valueAt550),
      Text("textAt555", 555, 8, &Runner::textAt555, TrimFullWidthSpaces)
          .To(ZeroPadded("textAt555", 178, 10, &P::textAt555)),
      Number("valueAt563", 563, 1, &Runner::valueAt563),
      Text("textAt564", 564, 24, &Runner::textAt564),
      Number("amountAt588", 588, 7, &Runner::amountAt588).To(U32("amountAt588", 16, &P::amountAt588)),
      Number("amountAt595", 595, 7, &Runner::amountAt595),
      Number("amountsAt602", 602, 7, &Runner::amountsAt602).To(U32("amountsAt602", 8, &P::amountsAt602)),
      // 24 groups of four counts, group 0 first.
      Number("resultCounts", 616, 3, &Runner::resultCounts).To(U8("resultCounts", 32, &P::resultCounts)),
      ReadApart("pastRuns", kPastRunsOfRecordAt, kPastRunEntrySize, &Runner::pastRuns)
          .To(Blocks("pastRuns", kPastRunsAt, kPastRunBlockSize, &P::pastRuns)),
      NotRead(1979, 902),
      // What the reader works out, and what the record adds.
      U16("estimatedOdds", 2, &P::estimatedOdds).From(&Runner::estimatedOdds),
      Zeros(6, 2),
      U8("age", 23, &P::age).From(&Runner::age),
      U8("jockeyChanged", 27, &P::jockeyChanged).From(JockeyChangedFlag{}),
      U8("runningStyle", 29, &P::runningStyle).From(&Runner::runningStyle),
      U8("pastRunCount", 128, &P::pastRunCount).From(&Runner::pastRunCount),
      Zeros(129, 1)
  );
}();

static_assert(InputTiles(kPastRunFields, kPastRunEntrySize));
static_assert(InputTiles(kHorseFields, kHorseRecordSize));

template <>
struct PartLayout<PastRunBlock> : RecordLayout<kPastRunBlockSize, kPastRunFields> {};
// The race card's entry gives part of a runner's part, the horse record the rest.
template <>
struct PartLayout<RunnerPart> : RecordLayout<kRunnerPartSize, kEntryFields, kHorseFields> {};
static_assert(PartTiles<PartLayout<PastRunBlock>>());
static_assert(PartTiles<PartLayout<RunnerPart>>());

}  // namespace kelvane
