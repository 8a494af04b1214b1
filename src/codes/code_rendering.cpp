#include "codes/code_rendering.h"

#include "codes/code_tables.h"
#include "codes/cp932_literal.h"

namespace kelvane {
namespace {

constexpr auto kTenThousandsAndBelow = Cp932(u8"万下");
constexpr auto kHundredMillionsAndBelow = Cp932(u8"億下");
constexpr auto kDebut = Cp932(u8"新馬");
constexpr auto kNotYetRun = Cp932(u8"未出走");
constexpr auto kMaiden = Cp932(u8"未勝利");
constexpr auto kOpen = Cp932(u8"オープン");
constexpr auto kColt = Cp932(u8"牡");
constexpr auto kFilly = Cp932(u8"牝");
constexpr auto kGelding = Cp932(u8"せ");

// Class condition codes 7xx: the last digit says which newcomer class.
std::string_view NewcomerClassText(int code) {
  switch (code % 10) {
    case 1: return kDebut.View();
    case 2: return kNotYetRun.View();
    case 3: return kMaiden.View();
    default: return {};
  }
}

// The TrackTable row of a track code, or -1. Codes 34 to 50 land on rows 0 to 16
// like the rest of the steeplechase range.
int TrackRow(int code) {
  if (code < 0 || code > 59) return -1;
  if (code == 0) return 0;
  if (code <= 24) return code - 9;
  if (code == 29) return 16;
  return code - 34;
}

// The row a digit character selects: the character minus '0'; -1 when the code is
// too short to have that character.
int DigitRow(std::string_view code, std::size_t pos) {
  return pos < code.size() ? code[pos] - '0' : -1;
}

}  // namespace

std::string_view GradeText(std::string_view code) { return GradeList.TextOf(code); }

std::string ConditionText(int code) {
  // 64-bit so that no int code can overflow.
  if (code < 100) return std::to_string(code * 100LL).append(kTenThousandsAndBelow.View());
  if (code == 100) return std::string("1").append(kHundredMillionsAndBelow.View());
  if (code / 100 == 7) return std::string(NewcomerClassText(code));
  if (code == 999) return std::string(kOpen.View());
  return {};
}

std::string_view TrackText(int code) { return TrackTable.RowView(TrackRow(code)); }

std::string SexMark(int code) {
  switch (code) {
    case 1: return std::string(kColt.View());
    case 2: return std::string(kFilly.View());
    case 3: return std::string(kGelding.View());
    default: return {};
  }
}

std::string RaceSymbolText(std::string_view code) {
  const int symbolRow = code.empty() ? -1 : RaceSymbolLetters.RowOf(code.substr(0, 1));
  std::string text(RaceSymbolTable.RowView(symbolRow));
  text.append(SexLimitTable.RowView(DigitRow(code, 1)));
  text.append(DesignationTable.RowView(DigitRow(code, 2)));
  return text;
}

std::string_view RacecourseName(std::string_view code) { return RacecourseList.TextOf(code); }

std::string_view MarginText(std::string_view code) { return MarginList.TextOf(code); }

std::string_view RaceTypeText(int code) {
  return code >= 11 && code <= 24 ? RaceTypeTable.RowView(code - 10) : std::string_view();
}

std::uint16_t RacecourseIndex(std::string_view code) {
  return static_cast<std::uint16_t>(RacecourseList.IndexOf(code));
}

std::uint8_t RaceTypeIndex(int code) { return code >= 11 ? static_cast<std::uint8_t>(code - 10) : 0; }

std::uint8_t MarginIndex(std::string_view code) { return static_cast<std::uint8_t>(MarginList.IndexOf(code)); }

std::uint8_t GradeIndex(std::string_view code) { return static_cast<std::uint8_t>(GradeList.IndexOf(code)); }

}  // namespace kelvane
