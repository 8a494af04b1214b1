#include "jravan/text_shaping.h"

#include "codes/cp932.h"
#include "codes/width_conversion.h"

namespace kelvane {
namespace {

// A two-byte unit that the width conversion turns into white space or leaves as
// white space: a full-width space, or two bytes of white space.
bool IsBlankUnit(std::string_view unit) {
  return unit == kFullWidthSpace || (IsCWhitespace(unit[0]) && IsCWhitespace(unit[1]));
}

}  // namespace

std::string TextBeforeFullWidthSpace(std::string_view text) {
  const std::size_t at = FindFullWidthSpace(text);
  return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

std::string TrimTrailingWhitespace(std::string_view text) {
  return std::string(WithoutTrailingCWhitespace(text));
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
  name.resize(WithoutTrailingCWhitespace(name).size());
  return name;
}

}  // namespace kelvane
