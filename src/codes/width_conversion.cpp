#include "codes/width_conversion.h"

#include <algorithm>
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

struct HalfWidthPair {
  std::string_view fullWidth;  // two bytes
  char halfWidth;
};

// The pairs ordered by their full-width bytes, built at compile time so that the
// conversion shares no state and can run on any thread.
constexpr std::array<HalfWidthPair, kLetterCount> kHalfWidthMap = [] {
  std::array<HalfWidthPair, kLetterCount> pairs{};
  for (std::size_t i = 0; i < kLetterCount; ++i) {
    pairs[i] = {kFullWidthLetters.View().substr(2 * i, 2), kHalfWidthLetters.View()[i]};
  }
  std::ranges::sort(pairs, {}, &HalfWidthPair::fullWidth);
  return pairs;
}();

}  // namespace

std::string ToHalfWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size(); pos += 2) {
    const std::string_view unit = text.substr(pos, 2);
    const auto found = std::ranges::lower_bound(kHalfWidthMap, unit, {}, &HalfWidthPair::fullWidth);
    if (found != kHalfWidthMap.end() && found->fullWidth == unit) {
      out += found->halfWidth;
    } else {
      out += unit;
    }
  }
  return out;
}

}  // namespace kelvane
