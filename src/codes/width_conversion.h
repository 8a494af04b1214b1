#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// Replaces the full-width Latin letters, apostrophe, full stop, middle dot and
// space of a name field by their one-byte forms. The text is walked in units of
// two bytes, as a field of two-byte characters; a unit that is not one of those
// characters (and a last single byte) is copied unchanged.
std::string ToHalfWidth(std::string_view text);

}  // namespace kelvane
