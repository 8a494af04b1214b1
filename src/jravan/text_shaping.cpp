#include "jravan/text_shaping.h"

#include "codes/cp932.h"

namespace kelvane {

std::string TextBeforeFullWidthSpace(std::string_view text) {
  for (std::size_t pos = 0; pos + 1 < text.size(); pos = NextCharPos(text, pos)) {
    if (text[pos] == '\x81' && text[pos + 1] == '\x40') return std::string(text.substr(0, pos));
  }
  return {};
}

std::string TrimTrailingWhitespace(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsCWhitespace(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

}  // namespace kelvane
