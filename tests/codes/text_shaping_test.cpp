#include "codes/text_shaping.h"

#include <gtest/gtest.h>

#include "codes/cp932_test_text.h"

namespace kelvane {
namespace {

struct TextCase {
  std::string_view code;
  std::string_view utf8;
};

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

TEST(TextBeforeFullWidthSpaceOrEmpty, CutsAtTheFirstFullWidthSpaceOfACharacterBoundary) {
  const TextCase cases[] = {
      {"ＡＢ　ＣＤ　", "ＡＢ"}, {"　ＡＢ", ""}, {"ＡＢ", ""}, {"ＡＢ ", ""}, {"ａ@", ""}, {"ａ@　", "ａ@"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(TextBeforeFullWidthSpaceOrEmpty(Sjis(c.code)), Sjis(c.utf8)) << c.code;
}

TEST(TrimFullWidthSpaces, RemovesTrailingPairsByteWise) {
  const TextCase cases[] = {
      {"ＡＢ　　", "ＡＢ"}, {"　", ""}, {"ＡＢ　 ", "ＡＢ　 "}, {"", ""}, {"　ＡＢ", "　ＡＢ"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(TrimFullWidthSpaces(Sjis(c.code)), Sjis(c.utf8)) << c.code;
  // The last two bytes decide even when they straddle two characters: ａ (82 81) then @.
  EXPECT_EQ(TrimFullWidthSpaces(Bytes("82 81 40")), Bytes("82"));
}

TEST(CompactName, JoinsTheFirstTwoPartsWithOneHalfWidthSpace) {
  const TextCase cases[] = {
      {"ＡＢ　ＣＤＥ　　", "ＡＢ ＣＤＥ"},
      {"ＡＢＣ　Ｄ　", "ＡＢＣ Ｄ"},
      {"　　ＡＢ　　", "ＡＢ"},  // the first four bytes are dropped
      {"ＡＢ　　", "ＡＢ "},      // an empty second part
      {"ＡＢ　ＣＤ　ＥＦ　", "ＡＢ ＣＤ"},
      // Fields without the spaces the name should have keep what they hold.
      {"ＡＢ \t", "ＡＢ"},
      {"ＡＢ　ＣＤ \r\n", "ＡＢ ＣＤ"},
      {"　　ＡＢ ", "ＡＢ"},
      {"　", ""},
      {"", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(CompactName(Sjis(c.code)), Sjis(c.utf8)) << c.code;
}

TEST(CompactName, FindsTheFullWidthSpaceOnlyAtCharacterBoundaries) {
  // ａ@ holds the bytes 81 40 across two characters; that is no separator.
  EXPECT_EQ(CompactName(Sjis("ａ@　ＢＣ　")), Sjis("ａ@ ＢＣ"));
  EXPECT_EQ(CompactName(Sjis("ＡＢ　ａ@　")), Sjis("ＡＢ ａ@"));
}

}  // namespace
}  // namespace kelvane
