#include "app/clock.h"

#include <cerrno>
#include <cstdlib>

namespace kelvane {
namespace {

// The instants a database date can hold: 0 to 2^32 - 1 seconds after 1904-01-01.
constexpr long long kFirstPalmInstant = -2082844800LL;
constexpr long long kLastPalmInstant = kFirstPalmInstant + 0xFFFFFFFFLL;

enum class EpochSetting { kUnset, kUsable, kUnusable };

EpochSetting ReadSourceDateEpoch(std::time_t& instant) {
  const char* text = std::getenv(kSourceDateEpochName);
  if (text == nullptr || *text == '\0') return EpochSetting::kUnset;
  // Digits, with a minus sign at most: no blanks, no plus sign, no hexadecimal.
  if (*text != '-' && (*text < '0' || *text > '9')) return EpochSetting::kUnusable;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < kFirstPalmInstant ||
      value > kLastPalmInstant) {
    return EpochSetting::kUnusable;
  }
  instant = static_cast<std::time_t>(value);
  return EpochSetting::kUsable;
}

}  // namespace

bool SourceDateEpochIsUsable() {
  std::time_t ignored = 0;
  return ReadSourceDateEpoch(ignored) != EpochSetting::kUnusable;
}

std::time_t SystemNow() {
  std::time_t instant = 0;
  if (ReadSourceDateEpoch(instant) == EpochSetting::kUsable) return instant;
  return std::time(nullptr);
}

}  // namespace kelvane
