#include "codes/text_shaping.h"

#include <algorithm>
#include <array>

#include "codes/cp932.h"
#include "codes/cp932_literal.h"

namespace kelvane {
namespace {

// The text before its first full-width space; without one, the whole text less its
// trailing white space. The parts of a compact name end so.
std::string_view TextBeforeFullWidthSpaceOrTrimmed(std::string_view text) {
  const std::size_t end = FindFullWidthSpace(text);
  return end == std::string_view::npos ? WithoutTrailingWhitespace(text) : text.substr(0, end);
}

// Character i of the full-width letters becomes byte i of the half-width ones.
constexpr auto kFullWidthLetters =
    Cp932(u8"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ’．・　");
constexpr auto kHalfWidthLetters =
    Cp932(u8"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz'.･ ");
constexpr std::size_t kLetterCount = 56;
static_assert(kFullWidthLetters.View().size() == 2 * kLetterCount);
static_assert(kHalfWidthLetters.View().size() == kLetterCount);

// Every full-width letter is a two-byte unit led by 0x81 or 0x82, so the map is a
// table over those two lead bytes and every trail byte: the half-width byte, or 0
// where the unit stays as it is. Built at compile time, it shares no state and can
// be used from any thread.
constexpr unsigned char kFirstLead = 0x81;
constexpr auto kHalfWidthOf = [] {
  std::array<std::array<char, 256>, 2> table{};
  for (std::size_t i = 0; i < kLetterCount; ++i) {
    const auto lead = static_cast<unsigned char>(kFullWidthLetters.View()[2 * i]);
    const auto trail = static_cast<unsigned char>(kFullWidthLetters.View()[2 * i + 1]);
    if (lead != kFirstLead && lead != kFirstLead + 1) throw "a full-width letter outside the table";
    table[lead - kFirstLead][trail] = kHalfWidthLetters.View()[i];
  }
  return table;
}();

// The half-width byte for the two-byte unit at `pos`, or 0.
char HalfWidthAt(std::string_view text, std::size_t pos) {
  if (pos + 1 >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead != kFirstLead && lead != kFirstLead + 1) return 0;
  return kHalfWidthOf[lead - kFirstLead][static_cast<unsigned char>(text[pos + 1])];
}

// A two-byte unit that the width conversion turns into white space or leaves as
// white space: a full-width space, or two bytes of white space.
bool IsBlankUnit(std::string_view unit) {
  return unit == kFullWidthSpace || (IsCWhitespace(unit[0]) && IsCWhitespace(unit[1]));
}

}  // namespace

std::size_t FindFullWidthSpace(std::string_view text) {
  for (std::size_t pos = 0; pos + 1 < text.size(); pos = NextCharPos(text, pos)) {
    if (text.substr(pos, 2) == kFullWidthSpace) return pos;
  }
  return std::string_view::npos;
}

std::string TextBeforeFullWidthSpaceOrEmpty(std::string_view text) {
  const std::size_t at = FindFullWidthSpace(text);
  return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

std::string TrimFullWidthSpaces(std::string_view text) {
  while (text.ends_with(kFullWidthSpace)) text.remove_suffix(2);
  return std::string(text);
}

std::string CompactName(std::string_view field) {
  if (field.starts_with(kFullWidthSpace)) {
    return std::string(TextBeforeFullWidthSpaceOrTrimmed(field.substr(std::min<std::size_t>(4, field.size()))));
  }
  const std::size_t separator = FindFullWidthSpace(field);
  if (separator == std::string_view::npos) return std::string(WithoutTrailingWhitespace(field));
  std::string name(field.substr(0, separator));
  name += ' ';
  name.append(TextBeforeFullWidthSpaceOrTrimmed(field.substr(separator + 2)));
  return name;
}

std::string ToHalfWidth(std::string_view text) {
  // Six pedigree names a runner go through here: the units are written straight
  // into a text of the field's size, which the result never outgrows, and it is cut
  // to what was written.
  std::string out(text.size(), '\0');
  char* end = out.data();
  for (std::size_t pos = 0; pos < text.size(); pos += 2) {
    if (const char half = HalfWidthAt(text, pos); half != 0) {
      *end++ = half;
    } else {
      *end++ = text[pos];
      if (pos + 1 < text.size()) *end++ = text[pos + 1];
    }
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
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
  name.resize(WithoutTrailingWhitespace(name).size());
  return name;
}

}  // namespace kelvane
