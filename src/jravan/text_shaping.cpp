#include "jravan/text_shaping.h"

#include "codes/cp932.h"
#include "codes/width_conversion.h"

namespace kelvane {
namespace {

// A two-byte unit that the width conversion turns into white space or leaves as
// white space: a full-width space, or two bytes of white space.
bool IsBlankUnit(std::string_view unit) {
  return unit == "\x81\x40" || (IsCWhitespace(unit[0]) && IsCWhitespace(unit[1]));
}

std::size_t LengthWithoutTrailingWhitespace(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsCWhitespace(text[end - 1])) --end;
  return end;
}

}  // namespace

std::string TextBeforeFullWidthSpace(std::string_view text) {
  for (std::size_t pos = 0; pos + 1 < text.size(); pos = NextCharPos(text, pos)) {
    if (text[pos] == '\x81' && text[pos + 1] == '\x40') return std::string(text.substr(0, pos));
  }
  return {};
}

std::string TrimTrailingWhitespace(std::string_view text) {
  return std::string(text.substr(0, LengthWithoutTrailingWhitespace(text)));
}

std::string HalfWidthName(std::string_view field) {
  // The conversion walks the field in two-byte units from its start. When the field
  // has an even length, the blank units that pad its end come out as white space
  // that the trim would remove: they are cut first rather than converted one by one.
  while (field.size() >= 2 && field.size() % 2 == 0 &&
         IsBlankUnit(field.substr(field.size() - 2))) {
    field.remove_suffix(2);
  }
  std::string name = ToHalfWidth(field);
  name.resize(LengthWithoutTrailingWhitespace(name));
  return name;
}

}  // namespace kelvane
