#include "codes/width_conversion.h"

#include <array>
#include <cstddef>

#include "codes/cp932_literal.h"

namespace kelvane {
namespace {

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

}  // namespace

std::string ToHalfWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); pos += 2) {
    if (const char half = HalfWidthAt(text, pos); half != 0) {
      out += half;
    } else {
      out += text.substr(pos, 2);
    }
  }
  return out;
}

}  // namespace kelvane
