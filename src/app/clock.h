#pragma once

#include <ctime>
#include <optional>

namespace kelvane {

// SOURCE_DATE_EPOCH, when set, is the current time, so that a conversion can be
// repeated byte for byte. It must be a whole number of seconds that a database date
// can hold (1904-01-01 to 2040-02-06).
inline constexpr const char* kSourceDateEpochName = "SOURCE_DATE_EPOCH";

// True when SOURCE_DATE_EPOCH is unset, empty, or a time a database date can hold.
bool SourceDateEpochIsUsable();

// The instant SOURCE_DATE_EPOCH names when it is usable, else the system clock.
std::time_t SystemNow();

}  // namespace kelvane
