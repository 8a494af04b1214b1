#pragma once

// Shaping of the text fields of the JRA-VAN files: they are fixed-width CP932 fields
// padded with full-width spaces (bytes 0x81 0x40) or with white space, and each kind
// of name is cut or joined from them in its own way. Every function returns a new
// text (or a view into its argument) and keeps no state, so any thread may call it.

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

// The full-width space that pads the name fields.
inline constexpr std::string_view kFullWidthSpace = "\x81\x40";

// The position of the first full-width space at a character boundary (not the two
// bytes 0x81 0x40 across two other characters), or npos.
std::size_t FindFullWidthSpace(std::string_view text);

// White space as C's isspace sees it in the C locale, whatever the locale is.
inline bool IsCWhitespace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');  // \t \n \v \f \r
}

// The text without its trailing C white space.
inline std::string_view WithoutTrailingWhitespace(std::string_view text) {
  while (!text.empty() && IsCWhitespace(text.back())) text.remove_suffix(1);
  return text;
}

// The text before its first full-width space; empty when it holds none, as a name
// that fills its whole field without padding is taken for no name.
std::string TextBeforeFullWidthSpaceOrEmpty(std::string_view text);

// The text without its trailing full-width spaces. Looks at the last two bytes
// only, not at character boundaries.
std::string TrimFullWidthSpaces(std::string_view text);

// "ＡＢ　ＣＤＥ　　" -> "ＡＢ ＣＤＥ": the first two parts of a name field padded with
// full-width spaces, joined by one half-width space; after a leading pair of
// full-width spaces, the first part alone. A field without the spaces it should
// have keeps what it holds, less trailing white space.
std::string CompactName(std::string_view field);

// The field with its full-width Latin letters, apostrophe, full stop, middle dot and
// space replaced by their one-byte forms. The text is walked in units of two bytes,
// as a field of two-byte characters; a unit that is not one of those characters
// (and a last single byte) is copied unchanged.
std::string ToHalfWidth(std::string_view text);

// A name field in half-width letters (ToHalfWidth) without its trailing C white
// space: the padding, which the conversion turns into blanks, is gone.
std::string HalfWidthName(std::string_view field);

}  // namespace kelvane
