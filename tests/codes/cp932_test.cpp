#include "codes/cp932.h"

#include <gtest/gtest.h>

#include "codes/cp932_literal.h"
#include "codes/cp932_test_text.h"

namespace kelvane {
namespace {

std::string Utf8Of(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

std::string BytesOfCode(std::uint16_t code) {
  if (code <= 0xFF) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// The compile-time converter that builds the tables must agree with the
// platform's CP932 converter on every character it covers.
TEST(Cp932Literal, AgreesWithTheSystemConverterOnEveryCoveredCharacter) {
  std::u32string covered;
  const std::pair<char32_t, char32_t> ranges[] = {
      {0x01, 0x7F}, {U'｡', U'ﾟ'}, {U'ぁ', U'ん'}, {U'ァ', U'ヶ'}, {U'０', U'９'}, {U'Ａ', U'Ｚ'}, {U'ａ', U'ｚ'},
  };
  for (const auto& [first, last] : ranges) {
    for (char32_t c = first; c <= last; ++c) covered += c;
  }
  for (const cp932_literal::CharCode& listed : cp932_literal::kListedChars) covered += listed.codePoint;
  for (char32_t c : covered) {
    EXPECT_EQ(BytesOfCode(cp932_literal::CodeOf(c)), Utf8ToCp932(Utf8Of(c))) << std::hex << "U+" << static_cast<std::uint32_t>(c);
  }
}

TEST(IsLeadByte, Cp932LeadByteRanges) {
  for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(b))) << b;
  for (int b : {0x00, 0x40, 0x80, 0xA0, 0xB1, 0xDF, 0xFD, 0xFF}) {
    EXPECT_FALSE(IsLeadByte(static_cast<unsigned char>(b))) << b;
  }
}

TEST(NextCharPos, StepsOverWholeCharacters) {
  const std::string text = Sjis("表\\ｱa") + "\x82";  // 表 is 95 5C: its trail byte is a backslash
  EXPECT_EQ(NextCharPos(text, 0), 2u);
  EXPECT_EQ(NextCharPos(text, 2), 3u);
  EXPECT_EQ(NextCharPos(text, 3), 4u);
  EXPECT_EQ(NextCharPos(text, 4), 5u);
  EXPECT_EQ(NextCharPos(text, 5), 6u);  // a lead byte at the end is one character
}

TEST(Cp932Conversion, RoundTripsAndMarksWhatItCannotConvert) {
  const std::string utf8 = "Ｊ・ＧⅠ ｱﾀﾏ 札幌（地方競馬）";
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932(utf8)), utf8);
  EXPECT_EQ(Utf8ToCp932("a€b\xFF\xE2\x82" "c"), "a?b??c");
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace kelvane
