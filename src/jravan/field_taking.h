#pragma once

// The four ways a fixed-width field of a JRA-VAN file is taken. Every reader takes
// its fields through these, so a field means the same in the race card and in the
// horse register.
//
// A field is the bytes one block read delivered; it may be shorter than its width
// when the read met the end of the file, and a NUL byte inside it ends it early.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "jravan/text_shaping.h"

namespace kelvane {

// The field as a C string: its bytes up to the first NUL. A loop in place rather
// than a call to search memory: fields are a few bytes long, and there are hundreds
// in a record.
inline std::string_view CutAtNul(std::string_view field) {
  std::size_t length = 0;
  while (length < field.size() && field[length] != '\0') ++length;
  return field.substr(0, length);
}

// *number*: a signed decimal as "%d" reads it (leading C white space skipped, an
// optional sign, then digits up to the first other byte). Without digits `target`
// keeps its value and the result is false. Values past the range of int saturate.
// Inline: a register record holds some three hundred numbers.
inline bool TakeNumber(std::string_view field, int& target) {
  const char* p = field.data();
  const char* const end = p + field.size();
  while (p != end && IsCWhitespace(*p)) ++p;
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '+' || *p == '-')) ++p;
  // A NUL is no digit, so the scan ends at it as it ends at the end of a C string.
  const auto digitAt = [](const char* at) { return static_cast<unsigned>(*at - '0'); };
  if (p == end || digitAt(p) > 9) return false;
  // A value past the limits of int saturates there: the running value is held at one
  // past the largest int once it gets there, then cut to the limit of its sign.
  constexpr std::int64_t kPastIntMax = std::int64_t{std::numeric_limits<int>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; p != end && digitAt(p) <= 9; ++p) magnitude = std::min(magnitude * 10 + digitAt(p), kPastIntMax);
  target = static_cast<int>(negative ? -magnitude : std::min(magnitude, kPastIntMax - 1));
  return true;
}

// *value*: a signed decimal as atoi reads it; 0 when the field holds no digits.
inline int TakeValue(std::string_view field) {
  int value = 0;
  TakeNumber(field, value);
  return value;
}

// *text*: the field's bytes up to the first NUL, seen where they lie.
inline std::string_view TakeText(std::string_view field) { return CutAtNul(field); }

// *char*: the field's first byte; 0 for a field that holds no byte.
inline char TakeChar(std::string_view field) { return field.empty() ? '\0' : field.front(); }

}  // namespace kelvane
