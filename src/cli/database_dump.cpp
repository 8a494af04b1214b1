#include "cli/database_dump.h"

#include <chrono>
#include <cstdio>

#include "codes/code_rendering.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"

namespace kelvane {
namespace {

// Seconds from 1904-01-01 (where Palm time starts) to 1970-01-01.
constexpr std::int64_t kPalmToUnixSeconds = 2082844800;

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[64];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

std::string Count(std::size_t n, const char* noun) {
  return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// A record text as shown: a double-byte character that the record's byte cut split
// is left out, and the rest converted to UTF-8.
std::string Shown(std::string_view cp932) {
  std::size_t whole = 0;
  while (whole < cp932.size()) {
    const std::size_t next = NextCharPos(cp932, whole);
    if (IsLeadByte(static_cast<unsigned char>(cp932[whole])) && next == whole + 1) break;
    whole = next;
  }
  return Cp932ToUtf8(cp932.substr(0, whole));
}

// A CP932 text padded with blanks to `columns`: a one-byte character takes one column
// on a terminal and a two-byte character two, so the byte count is the width.
std::string Column(std::string cp932, std::size_t columns) {
  if (cp932.size() < columns) cp932.append(columns - cp932.size(), ' ');
  return Shown(cp932);
}

template <std::size_t N>
std::string_view TextAtIndex(const CodeList<N>& list, int index) {
  const int position = index - list.firstIndex();
  return position >= 0 && position < static_cast<int>(list.size())
             ? list.begin()[position].text.View()
             : list.defaultText();
}

// Palm seconds as the local date and time they were taken from.
std::string PalmDateTime(std::uint32_t palmSeconds) {
  using namespace std::chrono;
  const sys_seconds at{seconds{std::int64_t{palmSeconds} - kPalmToUnixSeconds}};
  const auto day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss time{at - day};
  return Format("%04d-%02u-%02u %02d:%02d:%02d", int{date.year()}, unsigned{date.month()},
                unsigned{date.day()}, static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
}

std::string RaceHeader(const RacePart& race) {
  std::string line = Format("%04u-%02u-%02u ", race.year, race.month, race.day) +
                     Shown(TextAtIndex(RacecourseList, race.racecourseIndex)) +
                     Format(" %uR ", race.raceNumber) + Shown(race.raceName);
  if (race.gradeIndex != 0) line += " (" + Shown(TextAtIndex(GradeList, race.gradeIndex)) + ")";
  return line + "  " + Shown(TrackText(race.trackCode)) + Format(" %um  %02u:%02u  ", race.distance,
                                                                  race.postHour, race.postMinute) +
         Count(race.runnerCount, "runner") + "  alarm " + (race.alarm ? "on" : "off");
}

// Finishing positions of the runs read, the most recent first; "x" for a run without
// a placing.
std::string FormFigures(const RunnerPart& runner) {
  std::string figures;
  for (std::size_t m = 0; m < runner.pastRuns.size() && m < runner.pastRunCount; ++m) {
    const int position = runner.pastRuns[m].finishPosition;
    if (!figures.empty()) figures += '-';
    figures += position > 0 ? std::to_string(position) : "x";
  }
  return figures;
}

std::string RunnerLine(const RunnerPart& runner) {
  std::string line = Format("%3u %2u ", runner.frameNumber, runner.horseNumber) +
         Column(runner.horseName, 19) +
         Column(SexMark(runner.sexCode) + std::to_string(runner.age), 5) +
         Format("%2u.%u  ", runner.weightCarried / 10, runner.weightCarried % 10) +
         Column(TrimFullWidthSpaces(runner.jockeyName), 9) +
         Format("%5u.%u  ", runner.estimatedOdds / 10, runner.estimatedOdds % 10) +
         Column(RunningStyleTable.Row(runner.runningStyle - 1), 3) + FormFigures(runner);
  return line.substr(0, line.find_last_not_of(' ') + 1);
}

}  // namespace

void PrintRaceDatabase(const RaceDatabase& db, std::ostream& out) {
  out << Shown(db.name) << ": " << Count(db.races.size(), "race") << ", created "
      << PalmDateTime(db.creationDate) << '\n';
  for (const RaceRecord& record : db.races) {
    out << '\n' << RaceHeader(record.race) << '\n';
    for (const RunnerPart& runner : record.runners) out << RunnerLine(runner) << '\n';
  }
}

}  // namespace kelvane
