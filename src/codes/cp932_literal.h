#pragma once

// Compile-time conversion of UTF-8 literals to CP932 bytes, so that constant texts
// can be written with their Japanese visible and still hold exactly the bytes the
// handheld reads. Covered are ASCII, half-width katakana, hiragana, katakana, the
// full-width digits and Latin letters, and the symbols and kanji listed below; a
// literal with any other character, or one that does not fit, fails to compile.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvane {
namespace cp932_literal {

struct CharCode {
  char32_t codePoint;
  std::uint16_t cp932;
};

// Characters whose CP932 codes follow no simple range.
inline constexpr CharCode kListedChars[] = {
    {U'　', 0x8140},
};

consteval char32_t DecodeUtf8(std::u8string_view utf8, std::size_t& pos) {
  const char8_t lead = utf8[pos];
  const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (pos + length > utf8.size()) throw "truncated UTF-8 sequence";
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) c = (c << 6) | (utf8[pos + i] & 0x3F);
  pos += length;
  return c;
}

// The CP932 code of `c`: one byte below 0x100, otherwise lead byte * 256 + trail.
consteval std::uint16_t CodeOf(char32_t c) {
  if (c < 0x80) return static_cast<std::uint16_t>(c);
  if (c >= U'｡' && c <= U'ﾟ') return static_cast<std::uint16_t>(0xA1 + (c - U'｡'));
  if (c >= U'ぁ' && c <= U'ん') return static_cast<std::uint16_t>(0x829F + (c - U'ぁ'));
  // Katakana skip trail byte 0x7F.
  if (c >= U'ァ' && c <= U'ミ') return static_cast<std::uint16_t>(0x8340 + (c - U'ァ'));
  if (c >= U'ム' && c <= U'ヶ') return static_cast<std::uint16_t>(0x8380 + (c - U'ム'));
  if (c >= U'０' && c <= U'９') return static_cast<std::uint16_t>(0x824F + (c - U'０'));
  if (c >= U'Ａ' && c <= U'Ｚ') return static_cast<std::uint16_t>(0x8260 + (c - U'Ａ'));
  if (c >= U'ａ' && c <= U'ｚ') return static_cast<std::uint16_t>(0x8281 + (c - U'ａ'));
  for (const CharCode& listed : kListedChars) {
    if (listed.codePoint == c) return listed.cp932;
  }
  throw "character without a CP932 code in the compile-time character list";
}

}  // namespace cp932_literal

// A CP932 text of at most Size - 1 bytes, kept NUL-terminated and NUL-padded in
// Size bytes: the shape of a fixed-width table row.
template <std::size_t Size>
class Cp932Text {
 public:
  consteval Cp932Text(std::u8string_view utf8) {
    std::size_t length = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
      const std::uint16_t code = cp932_literal::CodeOf(cp932_literal::DecodeUtf8(utf8, pos));
      if (code > 0xFF) Append(static_cast<char>(code >> 8), length);
      Append(static_cast<char>(code & 0xFF), length);
    }
  }

  constexpr std::string_view View() const {
    std::size_t length = 0;
    while (bytes_[length] != '\0') ++length;
    return std::string_view(bytes_.data(), length);
  }

 private:
  consteval void Append(char byte, std::size_t& length) {
    if (byte == '\0') throw "NUL inside a text";
    if (length + 1 >= Size) throw "text longer than its width allows";
    bytes_[length++] = byte;
  }

  std::array<char, Size> bytes_{};
};

// The CP932 form of a UTF-8 literal (never longer than the UTF-8 form).
template <std::size_t N>
consteval Cp932Text<N> Cp932(const char8_t (&utf8)[N]) {
  return Cp932Text<N>(std::u8string_view(utf8, N - 1));
}

}  // namespace kelvane
