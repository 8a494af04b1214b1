#include "cli/database_dump.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "codes/code_rendering.h"
#include "codes/text_shaping.h"
#include "jravan/field_table.h"
#include "jravan/horse_fields.h"
#include "jravan/race_fields.h"
#include "pdb/race_record.h"
#include "pdb/record_display.h"

namespace kelvane {
namespace {

using Json = nlohmann::ordered_json;

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

// A CP932 text padded with blanks to `columns`: a one-byte character takes one column
// on a terminal and a two-byte character two, so the byte count is the width.
std::string Column(std::string cp932, std::size_t columns) {
  if (cp932.size() < columns) cp932.append(columns - cp932.size(), ' ');
  return ShownText(cp932);
}

// Palm seconds as the local date and time they were taken from, the date and the
// time joined by `separator`.
std::string PalmDateTime(std::uint32_t palmSeconds, char separator) {
  using namespace std::chrono;
  const sys_seconds at{seconds{std::int64_t{palmSeconds} - kPalmToUnixSeconds}};
  const auto day = floor<days>(at);
  const year_month_day date{day};
  const hh_mm_ss time{at - day};
  return Format("%04d-%02u-%02u%c%02d:%02d:%02d", int{date.year()}, unsigned{date.month()},
                unsigned{date.day()}, separator, static_cast<int>(time.hours().count()),
                static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
}

std::string RaceHeader(const RacePart& race) {
  std::string line = RaceDate(race) + " " + ShownText(RacecourseNameAt(race.racecourseIndex)) +
                     Format(" %uR ", race.raceNumber) + ShownText(race.raceName);
  if (race.gradeIndex != 0) line += " (" + ShownText(GradeTextAt(race.gradeIndex)) + ")";
  return line + "  " + ShownText(TrackText(race.trackCode)) +
         Format(" %um  ", race.distance) + PostTime(race) + "  " +
         Count(race.runnerCount, "runner") + "  alarm " + (race.alarm ? "on" : "off");
}

constexpr std::string_view kNoHorse = "(horse not read)";

std::string RunnerLine(const RunnerPart& runner) {
  const bool horse = !HoldsNoHorse(runner);
  std::string line = Format("%3u %2u ", runner.frameNumber, runner.horseNumber);
  line += horse ? Column(runner.horseName, 19) + Column(SexAndAge(runner), 5)
                : Column(std::string(kNoHorse), 24);
  line += Format("%4s  ", Tenths(runner.weightCarried).c_str()) +
          Column(TrimFullWidthSpaces(runner.jockeyName), 9);
  if (horse) {
    line += Format("%7s  ", Tenths(runner.estimatedOdds).c_str()) +
            Column(RunningStyleText(runner), 3) + FormFigures(runner);
  }
  return line.substr(0, line.find_last_not_of(' ') + 1);
}

// The text that a number field of a record stands for, put beside it in the JSON.
std::optional<std::pair<const char*, std::string_view>> TextBeside(std::string_view field,
                                                                   int value) {
  if (field == "racecourseIndex") return {{"racecourse", RacecourseNameAt(value)}};
  if (field == "gradeIndex") return {{"grade", GradeTextAt(value)}};
  if (field == "raceTypeIndex") return {{"raceType", RaceTypeTextAt(value)}};
  if (field == "raceTypeCode") return {{"raceType", RaceTypeTextAt(value - 10)}};
  if (field == "marginIndex") return {{"margin", MarginTextAt(value)}};
  return std::nullopt;
}

template <typename Part>
void AddFields(Json& object, const Part& part);

// A field's value in the JSON: numbers as stored, texts in UTF-8, arrays as arrays
// and blocks as objects of their own fields.
template <typename T>
Json JsonValue(const T& value) {
  if constexpr (kIsStdArray<T>) {
    Json values = Json::array();
    for (const auto& one : value) values.push_back(JsonValue(one));
    return values;
  } else if constexpr (std::is_integral_v<T>) {
    return value;
  } else if constexpr (std::is_same_v<T, std::string>) {
    return ShownText(value);
  } else {
    Json block = Json::object();
    AddFields(block, value);
    return block;
  }
}

// Adds every field of a part to a JSON object, in record order, under the field's
// name; beside an index number, the text it stands for.
template <typename Part>
void AddFields(Json& object, const Part& part) {
  // The tables give the fields in the order of the input files: they are put in
  // record order here.
  struct Member {
    std::size_t offset;
    std::string_view key;
    Json value;
  };
  std::vector<Member> members;
  members.reserve(64);
  PartLayout<Part>::ForEachField([&](const auto& field) {
    if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(field)>, RecordZeros>) {
      const auto& value = part.*field.member;
      members.push_back({field.offset, field.name, JsonValue(value)});
      if constexpr (std::is_integral_v<std::remove_cvref_t<decltype(value)>>) {
        if (const auto text = TextBeside(field.name, value)) {
          members.push_back({field.offset, text->first, ShownText(text->second)});
        }
      }
    }
  });
  std::stable_sort(members.begin(), members.end(),
                   [](const Member& a, const Member& b) { return a.offset < b.offset; });
  for (Member& member : members) object[std::string(member.key)] = std::move(member.value);
}

// A JSON object that starts with `mark` and then holds every field of `part`.
template <typename Part>
Json PartJson(const Part& part, const char* mark, bool marked) {
  Json object = {{mark, marked}};
  AddFields(object, part);
  return object;
}

Json RunnerJson(const RunnerPart& runner) {
  Json object = PartJson(runner, "horseRead", !HoldsNoHorse(runner));
  Json& runs = object["pastRuns"];
  for (std::size_t m = 0; m < runs.size(); ++m) {
    Json run = {{"read", m < runner.pastRunCount}};
    run.update(runs[m]);
    runs[m] = std::move(run);
  }
  return object;
}

Json DateJson(std::uint32_t palmSeconds) {
  return {{"iso8601", PalmDateTime(palmSeconds, 'T')}, {"palmSeconds", palmSeconds}};
}

}  // namespace

void PrintRaceDatabase(const RaceDatabase& db, std::ostream& out) {
  out << ShownText(db.name) << ": " << Count(db.races.size(), "race") << ", created "
      << PalmDateTime(db.creationDate, ' ') << '\n';
  for (const RaceRecord& record : db.races) {
    out << '\n' << RaceHeader(record.race) << '\n';
    for (const RunnerPart& runner : record.runners) out << RunnerLine(runner) << '\n';
  }
}

void PrintRaceDatabaseJson(const RaceDatabase& db, std::ostream& out) {
  Json races = Json::array();
  for (const RaceRecord& record : db.races) {
    Json race = Json::object();
    AddFields(race, record.race);
    Json& runners = race["runners"] = Json::array();
    for (const RunnerPart& runner : record.runners) runners.push_back(RunnerJson(runner));
    races.push_back(std::move(race));
  }
  const Json document = {
      {"name", ShownText(db.name)},
      {"type", ShownText(db.type)},
      {"creator", ShownText(db.creator)},
      {"version", db.version},
      {"creationDate", DateJson(db.creationDate)},
      {"modificationDate", DateJson(db.modificationDate)},
      {"backupDate", DateJson(db.backupDate)},
      {"races", std::move(races)},
  };
  out << document.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace kelvane
