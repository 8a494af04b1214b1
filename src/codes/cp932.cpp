#include "codes/cp932.h"

#include <iconv.h>

#include <cerrno>

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

// Converts `text` with iconv. A character that cannot be converted (of
// `skipLength` bytes) is replaced by `replacement`. Without the converter the
// text comes back as it is.
std::string Convert(const char* to, const char* from, std::string_view text, std::string_view replacement,
                    std::size_t (*skipLength)(std::string_view)) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  std::string buffer(4 * text.size() + 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer.data(), buffer.size() - dstLeft);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += replacement;
      const std::size_t skip = skipLength(std::string_view(in, inLeft));
      in += skip;
      inLeft -= skip;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::size_t NextCharPos(std::string_view s, std::size_t pos) {
  return pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos])) ? pos + 2 : pos + 1;
}

std::string Cp932ToUtf8(std::string_view cp932) { return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", OneByte); }

std::string Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, "?", Utf8CharLength); }

}  // namespace kelvane
