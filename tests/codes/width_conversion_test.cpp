#include "codes/width_conversion.h"

#include <gtest/gtest.h>

#include "codes/cp932_test_text.h"

namespace kelvane {
namespace {

TEST(ToHalfWidth, ReplacesFullWidthLettersAndPunctuation) {
  EXPECT_EQ(ToHalfWidth(Sjis("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
                             "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ’．・　")),
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz'.\xA5 ");
  EXPECT_EQ(ToHalfWidth(Sjis("ＡＢＣ　　　")), "ABC   ");
  EXPECT_EQ(ToHalfWidth(Sjis("ｄ’Ａ．・")), "d'A.\xA5");
}

TEST(ToHalfWidth, LeavesOtherCharactersUnchanged) {
  for (std::string_view utf8 : {"アイ", "１２", "ー", "馬（）", ""}) {
    EXPECT_EQ(ToHalfWidth(Sjis(utf8)), Sjis(utf8)) << utf8;
  }
}

TEST(ToHalfWidth, WalksTwoByteUnitsWithoutLookingAtCharacters) {
  // A last single byte is copied.
  EXPECT_EQ(ToHalfWidth(Sjis("ＡＢx")), "ABx");
  // After a one-byte character the units straddle characters: x+82, 60.
  EXPECT_EQ(ToHalfWidth(Sjis("xＡ")), Sjis("xＡ"));
  // ... and a straddling unit can still be a key: x+82, 82 82 (ｂ), 81.
  EXPECT_EQ(ToHalfWidth(Sjis("xｂａ")), Bytes("78 82 62 81"));
  EXPECT_EQ(ToHalfWidth(Bytes("82")), Bytes("82"));
}

}  // namespace
}  // namespace kelvane
