#include "jravan/field_taking.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "codes/text_shaping.h"

namespace kelvane {

bool TakeNumberInFull(std::string_view field, int& target) {
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

}  // namespace kelvane
