#pragma once

// CP932 (Microsoft's Shift-JIS) helpers. Data texts travel through the system as
// CP932 byte strings; a character is one byte, or a lead byte and a trail byte.

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

// True for the first byte of a two-byte CP932 character (0x81-0x9F, 0xE0-0xFC).
bool IsLeadByte(unsigned char b);

// The position of the character after the one at `pos`: pos + 2 for a lead byte
// that has a byte after it, otherwise pos + 1.
std::size_t NextCharPos(std::string_view s, std::size_t pos);

// The full-width space that pads the name fields of the JRA-VAN files.
inline constexpr std::string_view kFullWidthSpace = "\x81\x40";

// The position of the first full-width space at a character boundary (not the two
// bytes 0x81 0x40 across two other characters), or npos.
std::size_t FindFullWidthSpace(std::string_view text);

// White space as C's isspace sees it in the C locale, whatever the locale is.
inline bool IsCWhitespace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');  // \t \n \v \f \r
}

// The text without its trailing C white space.
inline std::string_view WithoutTrailingCWhitespace(std::string_view text) {
  while (!text.empty() && IsCWhitespace(text.back())) text.remove_suffix(1);
  return text;
}

// Converts a CP932 (Shift-JIS) byte string to UTF-8 for showing it to a person.
// Bytes that are not valid CP932 come out as U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// Converts UTF-8 to CP932. A character CP932 cannot hold, or a byte that is not
// valid UTF-8, comes out as '?'.
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace kelvane
