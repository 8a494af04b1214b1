#pragma once

// What a person reads of a decoded race record: its texts in UTF-8, the texts that
// its index numbers stand for, and the few values shown in a form of their own.
// `kelvane dump` and the desktop viewer show records through these, so both say
// the same.

#include <cstdint>
#include <string>
#include <string_view>

#include "jravan/record_parts.h"

namespace kelvane {

// A record text in UTF-8. A double-byte character that the record's byte cut split
// is left out.
std::string ShownText(std::string_view cp932);

// The CP932 texts that index numbers of a record stand for.
std::string_view RacecourseNameAt(int racecourseIndex);
std::string_view GradeTextAt(int gradeIndex);
std::string_view RaceTypeTextAt(int raceTypeIndex);  // a race type code less 10
std::string_view MarginTextAt(int marginIndex);

// "2003-12-28", "15:25".
std::string RaceDate(const RacePart& race);
std::string PostTime(const RacePart& race);
// "55.5" from tenths of a kilogram; "123.4" from tenths.
std::string Tenths(std::uint16_t tenths);
// "牡3" in CP932.
std::string SexAndAge(const RunnerPart& runner);
// "先", the running style 1 to 4 in CP932; empty for another value.
std::string RunningStyleText(const RunnerPart& runner);
// Finishing positions of the runs read, the most recent first; "x" for a run
// without a placing: "1-x-12".
std::string FormFigures(const RunnerPart& runner);

}  // namespace kelvane
