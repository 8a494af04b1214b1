#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// Converts a CP932 (Shift-JIS) byte string to UTF-8 for showing it to a person.
// Bytes that are not valid CP932 come out as U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace kelvane
