#pragma once

#include <string>
#include <string_view>

#include "codes/cp932.h"

namespace kelvane {

// The text before its first full-width space (bytes 0x81 0x40), searched character
// by character so that a 0x81 0x40 pair inside another character does not count.
// Empty when the text holds none.
std::string TextBeforeFullWidthSpace(std::string_view text);

// The text without its trailing C white space.
std::string TrimTrailingWhitespace(std::string_view text);

// A name field of the horse register in half-width letters (ToHalfWidth) without its
// trailing C white space.
std::string HalfWidthName(std::string_view field);

}  // namespace kelvane
