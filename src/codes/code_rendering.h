#pragma once

// Renderers (code -> CP932 text) and encoders (code -> the index number a
// handheld record carries). All are pure functions that never fail:
// an unknown code gives its vocabulary's default. String codes are compared as
// whole strings, byte for byte.

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

// Texts that are rows of the vocabulary as they stand, seen in place.
std::string_view GradeText(std::string_view code);
std::string_view TrackText(int code);
std::string_view RacecourseName(std::string_view code);
std::string_view MarginText(std::string_view code);
// Row code - 10 of RaceTypeTable for the codes 11 to 24; empty for any other code.
std::string_view RaceTypeText(int code);
// Texts put together from the code.
std::string ConditionText(int code);
std::string SexMark(int code);
std::string RaceSymbolText(std::string_view code);

std::uint16_t RacecourseIndex(std::string_view code);
std::uint8_t RaceTypeIndex(int code);
std::uint8_t MarginIndex(std::string_view code);
std::uint8_t GradeIndex(std::string_view code);

}  // namespace kelvane
