#include "jravan/field_taking.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "jravan/text_shaping.h"

namespace kelvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading decimal integer of the field as the C library reads it, into `value`;
// false when no digit follows the white space and the sign. A NUL is none of these,
// so the scan ends at it as it ends at the end of a C string.
bool LeadingInteger(std::string_view text, int& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && IsCWhitespace(*p)) ++p;
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '+' || *p == '-')) ++p;
  if (p == end || !IsDigit(*p)) return false;
  // A value past the limits of int saturates there.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                      : std::numeric_limits<int>::max();
  std::int64_t magnitude = 0;
  for (; p != end && IsDigit(*p); ++p) {
    if (magnitude < limit) magnitude = magnitude * 10 + (*p - '0');
  }
  magnitude = std::min(magnitude, limit);
  value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

std::string_view CutAtNul(std::string_view field) {
  return field.substr(0, field.find('\0'));
}

bool TakeNumber(std::string_view field, int& target) { return LeadingInteger(field, target); }

int TakeValue(std::string_view field) {
  int value = 0;
  LeadingInteger(field, value);
  return value;
}

std::string_view TakeText(std::string_view field) { return CutAtNul(field); }

char TakeChar(std::string_view field) { return field.empty() ? '\0' : field.front(); }

}  // namespace kelvane
