#include "codes/cp932.h"

#include "platform/text_conversion.h"

namespace kelvane {
namespace {

std::size_t OneByte(std::string_view) { return 1; }

// The UTF-8 character at the front of `text`: its first byte and the
// continuation bytes after it, at most four bytes in all.
std::size_t Utf8CharLength(std::string_view text) {
  std::size_t length = 1;
  while (length < 4 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

}  // namespace

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::size_t NextCharPos(std::string_view s, std::size_t pos) {
  return pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos])) ? pos + 2 : pos + 1;
}

std::string Cp932ToUtf8(std::string_view cp932) { return ConvertText("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", OneByte); }

std::string Utf8ToCp932(std::string_view utf8) { return ConvertText("CP932", "UTF-8", utf8, "?", Utf8CharLength); }

}  // namespace kelvane
