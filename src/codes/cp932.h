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

// Converts a CP932 (Shift-JIS) byte string to UTF-8 for showing it to a person.
// Bytes that are not valid CP932 come out as U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// Converts UTF-8 to CP932. A character CP932 cannot hold, or a byte that is not
// valid UTF-8, comes out as '?'.
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace kelvane
