#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

// Converts `text` between the character sets `from` and `to` (iconv names, such as
// "CP932" and "UTF-8"). A character that cannot be converted is replaced by
// `replacement` and skipped by the bytes `skipLength` says it takes. Without the
// converter the text comes back as it is.
std::string ConvertText(const char* to, const char* from, std::string_view text,
                        std::string_view replacement, std::size_t (*skipLength)(std::string_view));

}  // namespace kelvane
