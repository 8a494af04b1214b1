#include "codes/code_rendering.h"

namespace kelvane {

std::string GradeText(std::string_view) { return {}; }
std::string ConditionText(int) { return {}; }
std::string TrackText(int) { return {}; }
std::string SexMark(int) { return {}; }
std::string RaceSymbolText(std::string_view) { return {}; }
std::string RacecourseName(std::string_view) { return {}; }
std::string MarginText(std::string_view) { return {}; }
std::string CompactName(std::string_view field) { return std::string(field); }
std::string TrimFullWidthSpaces(std::string_view text) { return std::string(text); }
std::uint16_t RacecourseIndex(std::string_view) { return 0; }
std::uint8_t RaceTypeIndex(int) { return 0; }
std::uint8_t MarginIndex(std::string_view) { return 0; }
std::uint8_t GradeIndex(std::string_view) { return 0; }

}  // namespace kelvane
