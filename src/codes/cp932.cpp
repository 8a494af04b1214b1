#include "codes/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace kelvane {

std::string Cp932ToUtf8(std::string_view cp932) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(cp932);
  std::string out;
  std::string buffer(4 * cp932.size() + 4, '\0');
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  while (inLeft > 0) {
    char* dst = buffer.data();
    std::size_t dstLeft = buffer.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer.data(), buffer.size() - dstLeft);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not CP932
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace kelvane

namespace kelvane {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::size_t NextCharPos(std::string_view s, std::size_t pos) {
  return pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos])) ? pos + 2 : pos + 1;
}

std::string Utf8ToCp932(std::string_view utf8) { return std::string(utf8); }

}  // namespace kelvane
