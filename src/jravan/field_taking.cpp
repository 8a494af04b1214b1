#include "jravan/field_taking.h"

#include <cstdint>
#include <limits>
#include <optional>

#include "jravan/text_shaping.h"

namespace kelvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading decimal integer of the field as the C library reads it, or nothing
// when no digit follows the white space and the sign.
std::optional<int> LeadingInteger(std::string_view field) {
  const std::string_view text = CutAtNul(field);
  std::size_t pos = 0;
  while (pos < text.size() && IsCWhitespace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == text.size() || !IsDigit(text[pos])) return std::nullopt;
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                      : std::numeric_limits<int>::max();
  std::int64_t magnitude = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    if (magnitude < limit) magnitude = magnitude * 10 + (text[pos] - '0');
  }
  if (magnitude > limit) magnitude = limit;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace

std::string_view CutAtNul(std::string_view field) {
  return field.substr(0, field.find('\0'));
}

bool TakeNumber(std::string_view field, int& target) {
  const std::optional<int> number = LeadingInteger(field);
  if (number) target = *number;
  return number.has_value();
}

int TakeValue(std::string_view field) { return LeadingInteger(field).value_or(0); }

std::string TakeText(std::string_view field) { return std::string(CutAtNul(field)); }

char TakeChar(std::string_view field) { return field.empty() ? '\0' : field.front(); }

}  // namespace kelvane
