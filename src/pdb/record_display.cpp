#include "pdb/record_display.h"

#include <cstdio>

#include "codes/code_rendering.h"
#include "codes/code_tables.h"
#include "codes/cp932.h"

namespace kelvane {
namespace {

template <std::size_t N>
std::string_view TextAtIndex(const CodeList<N>& list, int index) {
  const int position = index - list.firstIndex();
  return position >= 0 && position < static_cast<int>(list.size())
             ? list.begin()[position].text.View()
             : list.defaultText();
}

template <typename... Numbers>
std::string Format(const char* format, Numbers... numbers) {
  char text[32];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(numbers)...);
  return text;
}

}  // namespace

std::string ShownText(std::string_view cp932) {
  std::size_t whole = 0;
  while (whole < cp932.size()) {
    const std::size_t next = NextCharPos(cp932, whole);
    if (IsLeadByte(static_cast<unsigned char>(cp932[whole])) && next == whole + 1) break;
    whole = next;
  }
  return Cp932ToUtf8(cp932.substr(0, whole));
}

std::string_view RacecourseNameAt(int index) { return TextAtIndex(RacecourseList, index); }
std::string_view GradeTextAt(int index) { return TextAtIndex(GradeList, index); }
std::string_view RaceTypeTextAt(int index) { return RaceTypeTable.RowView(index); }
std::string_view MarginTextAt(int index) { return TextAtIndex(MarginList, index); }

std::string RaceDate(const RacePart& race) {
  return Format("%04u-%02u-%02u", race.year, race.month, race.day);
}

std::string PostTime(const RacePart& race) {
  return Format("%02u:%02u", race.postHour, race.postMinute);
}

std::string Tenths(std::uint16_t tenths) {
  return Format("%u.%u", tenths / 10u, tenths % 10u);
}

std::string SexAndAge(const RunnerPart& runner) {
  return SexMark(runner.sexCode) + std::to_string(runner.age);
}

std::string RunningStyleText(const RunnerPart& runner) {
  return RunningStyleTable.Row(runner.runningStyle - 1);
}

std::string FormFigures(const RunnerPart& runner) {
  std::string figures;
  for (std::size_t m = 0; m < runner.pastRuns.size() && m < runner.pastRunCount; ++m) {
    const int position = runner.pastRuns[m].finishPosition;
    if (!figures.empty()) figures += '-';
    figures += position > 0 ? std::to_string(position) : "x";
  }
  return figures;
}

}  // namespace kelvane
