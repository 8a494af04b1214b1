#pragma once

// The fields of a race card line ("JracDen1.dat"): its race part of 327 bytes, then
// 18 entry slots of 63 bytes, 1461 bytes in all; and where the race record carries
// them. The race part gives the race part of the record (152 bytes), an entry the
// race card's share of its runner's part (horse_fields.h gives the rest). Offsets
// are bytes from the start of the part. See field_table.h for how a row reads.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "codes/code_rendering.h"
#include "codes/code_tables.h"
#include "codes/text_shaping.h"
#include "jravan/field_table.h"
#include "jravan/race.h"
#include "jravan/record_parts.h"

namespace kelvane {

inline constexpr std::size_t kRacePartOfLineSize = 327;
inline constexpr std::size_t kEntrySlotSize = 63;
inline constexpr std::size_t kRaceCardLineSize = kRacePartOfLineSize + kMaxRunners * kEntrySlotSize;

// MMDD dates and HHMM times are carried as two bytes: the hundreds and the rest.
constexpr int Hundreds(int fourDigits) { return fourDigits / 100; }
constexpr int UnderHundred(int fourDigits) { return fourDigits % 100; }

// A runner count kept within the 0 to 18 entries of a line.
constexpr int RunnersOnCard(int runnerCount) { return std::clamp(runnerCount, 0, kMaxRunners); }

// What the race part of a record is made from: the race, and the start alarm chosen
// for the whole file.
struct RacePartSource {
  const Race& race;
  bool alarm;

  template <typename T>
  constexpr const T& At(T Race::* member) const {
    return race.*member;
  }
};

// Record byte 48: 1 when the start alarm is on.
struct StartAlarm {
  constexpr std::uint8_t operator()(const RacePartSource& source, std::size_t) const {
    return source.alarm ? 1 : 0;
  }
};

// When and where a race was run: the first 16 bytes of a race card line and of a
// past run alike, and the RaceDay that the record carries of them, whose month the
// part keeps at `monthAt`.
template <typename Source, typename Part>
constexpr auto RaceDayFields(std::size_t monthAt) {
  using namespace fields;
  return TableOf(
      Number("year", 0, 4, &Source::year).To(U16("year", 0, &Part::year)),
      Value("monthDay", 4, 4, &Source::monthDay)
          .To(U8("month", monthAt, &Part::month).Of(Hundreds),
              U8("day", monthAt + 1, &Part::day).Of(UnderHundred)),
      Text("racecourseCode", 8, 2, &Source::racecourseCode)
          .Shown(&Source::racecourseName, RacecourseName)
          .To(U16("racecourseIndex", 2, &Part::racecourseIndex).Of(RacecourseIndex)),
      Number("meetingNumber", 10, 2, &Source::meetingNumber)
          .To(U8("meetingNumber", monthAt + 2, &Part::meetingNumber)),
      Number("meetingDay", 12, 2, &Source::meetingDay).To(U8("meetingDay", monthAt + 3, &Part::meetingDay)),
      Number("raceNumber", 14, 2, &Source::raceNumber).To(U8("raceNumber", monthAt + 4, &Part::raceNumber))
  );
}

inline constexpr auto kRacePartFields = Joined(RaceDayFields<Race, RacePart>(36), [] {
  using namespace fields;
  return TableOf(
      Number("weekdayCode", 16, 1, &Race::weekdayCode).Shown(&Race::weekdayText, RowOf(WeekdayTable)),
      // A name that fills its field has no padding to end it: it is taken for none.
      Text("raceName", 17, 60, &Race::raceName, TextBeforeFullWidthSpaceOrEmpty)
          .To(ZeroPadded("raceName", 50, 22, &RacePart::raceName)),
      Text("textAt77", 77, 6, &Race::textAt77),
      Number("valueAt83", 83, 3, &Race::valueAt83).To(U16("valueAt83", 4, &RacePart::valueAt83)),
      TextAndChar("gradeCode", 86, 1, &Race::gradeCode, &Race::gradeChar)
          .Shown(&Race::gradeText, GradeText)
          .To(U8("gradeIndex", 41, &RacePart::gradeIndex).Of(GradeIndex)),
      NumberAndText("raceTypeCode", 87, 2, &Race::raceTypeCode, &Race::raceTypeCodeText)
          .Shown(&Race::raceTypeText, RaceTypeText)
          .To(U8("raceTypeIndex", 42, &RacePart::raceTypeIndex).Of(RaceTypeIndex)),
      Text("raceSymbolCode", 89, 3, &Race::raceSymbolCode)
          .Shown(&Race::raceSymbolText, RaceSymbolText)
          .To(ZeroPadded("raceSymbolText", 72, 32, &RacePart::raceSymbolText).From(&Race::raceSymbolText)),
      NumberAndChar("weightTypeCode", 92, 1, &Race::weightTypeCode, &Race::weightTypeChar)
          .Shown(&Race::weightTypeText, RowOf(WeightTypeTable))
          .To(U8("weightTypeCode", 43, &RacePart::weightTypeCode)),
      NumberAndText("conditionCodes", 93, 3, &Race::conditionCodes, &Race::conditionCodeTexts)
          .Shown(&Race::conditionTexts, ConditionText),
      NotRead(108, 24),
      Number("distance", 132, 4, &Race::distance).To(U16("distance", 8, &RacePart::distance)),
      NumberAndText("trackCode", 136, 2, &Race::trackCode, &Race::trackCodeText)
          .Shown(&Race::trackText, TrackText)
          .To(U16("trackCode", 34, &RacePart::trackCode)),
      NotRead(138, 10),
      Number("amountsAt148", 148, 7, &Race::amountsAt148).To(U32("amountsAt148", 10, &RacePart::amountsAt148)),
      NotRead(183, 14),
      Number("amountsAt197", 197, 7, &Race::amountsAt197),
      NotRead(218, 14),
      NumberAndChar("valueAt232", 232, 1, &Race::valueAt232, &Race::charAt232),
      Value("valueAt233", 233, 4, &Race::valueAt233).To(U16("valueAt233", 32, &RacePart::valueAt233)),
      Number("valueAt237", 237, 4, &Race::valueAt237).To(U16("valueAt237", 30, &RacePart::valueAt237)),
      Value("postTime", 241, 4, &Race::postTime)
          .To(U8("postHour", 46, &RacePart::postHour).Of(Hundreds),
              U8("postMinute", 47, &RacePart::postMinute).Of(UnderHundred)),
      Text("textAt245", 245, 2, &Race::textAt245),
      Number("valueAt247", 247, 2, &Race::valueAt247),
      Number("valueAt249", 249, 2, &Race::valueAt249),
      Number("valueAt251", 251, 2, &Race::valueAt251),
      Char("charAt253", 253, 1, &Race::charAt253),
      Char("charAt254", 254, 1, &Race::charAt254),
      NotRead(255, 12),
      Text("textAt267", 267, 18, &Race::textAt267, TrimFullWidthSpaces)
          .To(ZeroPadded("textAt267", 104, 38, &RacePart::textAt267)),
      Char("charAt285", 285, 1, &Race::charAt285),
      Value("valueAt286", 286, 3, &Race::valueAt286),
      NotRead(289, 5),
      Text("textAt294", 294, 8, &Race::textAt294).To(ZeroPadded("textAt294", 142, 10, &RacePart::textAt294)),
      NotRead(302, 6),
      Text("textAt308", 308, 8, &Race::textAt308, TrimFullWidthSpaces),
      NotRead(316, 3),
      Number("valueAt319", 319, 4, &Race::valueAt319).To(U16("valueAt319", 6, &RacePart::valueAt319)),
      NumberAndChar("saleCode", 323, 1, &Race::saleCode, &Race::saleChar)
          .Shown(&Race::saleText, RowOf(SaleTable))
          .To(U8("saleCode", 44, &RacePart::saleCode)),
      // The reader keeps the count within the line's entries as it reads it; the
      // record does so for a race made otherwise.
      Number("runnerCount", 324, 2, &Race::runnerCount)
          .To(U8("runnerCount", kRunCountAt, &RacePart::runnerCount).Of(RunnersOnCard)),
      NotRead(326, 1),
      U8("alarm", 48, &RacePart::alarm).From(StartAlarm{}),
      Zeros(49, 1)
  );
}());

// Entry slot k (1 to 18) of a line starts at 327 + 63 * (k - 1); its fields go to the
// per-entry arrays of the race at index k, and to runner part k - 1 of the record.
inline constexpr auto kEntryFields = [] {
  using namespace fields;
  return TableOf(
      Number("horseNumber", 0, 2, &Race::horseNumbers).To(U8("horseNumber", 21, &RunnerPart::horseNumber)),
      Number("frameNumber", 2, 1, &Race::frameNumbers).To(U8("frameNumber", 20, &RunnerPart::frameNumber)),
      Text("horseId", 3, 10, &Race::horseIds),  // the horse register's key
      Text("horseName", 13, 18, &Race::horseNames),
      NumberAndChar("sexCode", 31, 1, &Race::sexCodes, &Race::sexChars)
          .Shown(&Race::sexTexts, SexMark)
          .To(U8("sexCode", 22, &RunnerPart::sexCode)),
      Number("weightCarried", 32, 3, &Race::weightsCarried)
          .To(U16("weightCarried", 0, &RunnerPart::weightCarried)),
      NumberAndChar("entryFlag", 35, 1, &Race::entryFlagCodes, &Race::entryFlagChars)
          .To(U8("entryFlagCode", 26, &RunnerPart::entryFlagCode)),
      NumberAndText("jockeyCode", 36, 5, &Race::jockeyCodes, &Race::jockeyCodeTexts),
      Text("jockeyName", 41, 8, &Race::jockeyNames).To(ZeroPadded("jockeyName", 168, 10, &RunnerPart::jockeyName)),
      NumberAndChar("trainerFlag", 49, 1, &Race::trainerFlagCodes, &Race::trainerFlagChars)
          .To(U8("trainerFlagCode", 28, &RunnerPart::trainerFlagCode)),
      NumberAndText("trainerCode", 50, 5, &Race::trainerCodes, &Race::trainerCodeTexts),
      Text("trainerName", 55, 8, &Race::trainerNames, TrimFullWidthSpaces)
  );
}();

static_assert(InputTiles(kRacePartFields, kRacePartOfLineSize));
static_assert(InputTiles(kEntryFields, kEntrySlotSize));

template <>
struct PartLayout<RacePart> : RecordLayout<kRacePartSize, kRacePartFields> {};
static_assert(PartTiles<PartLayout<RacePart>>());

}  // namespace kelvane
