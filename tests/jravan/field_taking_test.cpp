#include "jravan/field_taking.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "jravan/field_reader.h"
#include "jravan/file_contents.h"
#include "jravan/text_mode_reader.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using namespace std::string_literals;

// The number a field gives, or nothing when it leaves its target as it was.
std::optional<int> Number(const std::string& field) {
  int target = -12345;
  if (!TakeNumber(field, target)) {
    EXPECT_EQ(target, -12345) << "a field without digits changed its target";
    return std::nullopt;
  }
  return target;
}

TEST(TakeNumber, ReadsASignedDecimalLikeScanf) {
  EXPECT_EQ(Number("2003"), 2003);
  EXPECT_EQ(Number("0701"), 701);
  EXPECT_EQ(Number(" 12"), 12);
  EXPECT_EQ(Number("\t\n\v\f\r 5"), 5);
  EXPECT_EQ(Number("-1"), -1);
  EXPECT_EQ(Number("+7"), 7);
  EXPECT_EQ(Number("12ab"), 12);
  EXPECT_EQ(Number("0x1A"), 0);
  EXPECT_EQ(Number("1 2"), 1);
  EXPECT_EQ(Number("999999999"), 999999999);
  EXPECT_EQ(Number("1234567890"), 1234567890);
  EXPECT_EQ(Number("9"), 9);
}

TEST(TakeNumber, LeavesTheTargetWithoutDigits) {
  EXPECT_EQ(Number(""), std::nullopt);
  EXPECT_EQ(Number("    "), std::nullopt);
  EXPECT_EQ(Number("ab"), std::nullopt);
  EXPECT_EQ(Number("-"), std::nullopt);
  EXPECT_EQ(Number("- 1"), std::nullopt);
  EXPECT_EQ(Number("\xA0" "1"), std::nullopt);  // not white space in the C locale
}

TEST(TakeNumber, StopsAtNul) {
  EXPECT_EQ(Number("1\0" "2"s), 1);
  EXPECT_EQ(Number("\0" "12"s), std::nullopt);
}

TEST(TakeNumber, SaturatesPastTheRangeOfInt) {
  EXPECT_EQ(Number("2147483647"), INT_MAX);
  EXPECT_EQ(Number("99999999999"), INT_MAX);
  EXPECT_EQ(Number("-2147483648"), INT_MIN);
  EXPECT_EQ(Number("-99999999999"), INT_MIN);
  EXPECT_EQ(Number("2147483648"), INT_MAX);
  EXPECT_EQ(Number("+2147483647"), INT_MAX);
  EXPECT_EQ(Number("-2147483647"), -INT_MAX);
  EXPECT_EQ(Number("-2147483649"), INT_MIN);
  EXPECT_EQ(Number("00000000002147483647"), INT_MAX) << "leading zeros count for nothing";
}

TEST(TakeValue, ReadsLikeAtoiAndGivesZeroWithoutDigits) {
  EXPECT_EQ(TakeValue("1228"), 1228);
  EXPECT_EQ(TakeValue(" -3x"), -3);
  EXPECT_EQ(TakeValue("    "), 0);
  EXPECT_EQ(TakeValue(""), 0);
  EXPECT_EQ(TakeValue("\0" "5"s), 0);
}

TEST(TakeText, KeepsTheBytesUpToTheFirstNul) {
  EXPECT_EQ(TakeText("A11"), "A11");
  EXPECT_EQ(TakeText("\x82\x60\x81\x40"), "\x82\x60\x81\x40");
  EXPECT_EQ(TakeText("AB\0CD"s), "AB");
  EXPECT_EQ(TakeText(""), "");
}

TEST(TakeChar, KeepsTheFirstByteOrZero) {
  EXPECT_EQ(TakeChar("1"), '1');
  EXPECT_EQ(TakeChar("\x82\x60"), '\x82');
  EXPECT_EQ(TakeChar(""), '\0');
  EXPECT_EQ(TakeChar("\0" "1"s), '\0');
}

TEST(FieldReader, TakesEachFieldOnceInOneOrTwoWays) {
  TextModeReader input("11X03xy  ");
  FieldReader fields(input);
  int number = 0;
  std::string text;
  char c = 0;
  fields.Next(2).NumberAndText(number, text);
  EXPECT_EQ(number, 11);
  EXPECT_EQ(text, "11");
  fields.Next(1).TextAndChar(text, c);
  EXPECT_EQ(text, "X");
  EXPECT_EQ(c, 'X');
  fields.Next(2).NumberAndChar(number, c);
  EXPECT_EQ(number, 3);
  EXPECT_EQ(c, '0');
  fields.SkipGap(2);
  EXPECT_EQ(fields.Next(4).bytes(), "  ") << "a field at the end takes only what is there";
  EXPECT_EQ(fields.Next(4).Char(), '\0');
}

// Whether the fields read from `bytes`, 10 at a time to the end, are whole text.
bool ReadsIntact(const std::string& bytes) {
  TextModeReader input(bytes);
  FieldReader fields(input);
  while (!input.AtEnd()) fields.SkipGap(10);
  return fields.Intact();
}

TEST(FieldReader, IsIntactUnlessAFieldHoldsAControlCharacterOtherThanNul) {
  // Text bytes everywhere: NUL, space, the top of ASCII, lead and trail bytes.
  std::string text;
  for (int i = 0; i < 100; ++i) text += "\0 ~\x80\x81\x40\xFF"s[i % 7];
  ASSERT_TRUE(ReadsIntact(text));
  // One control character anywhere, in the first bytes, the middle or the last.
  for (const char control : {'\x01', '\t', '\n', '\r', '\x1A', '\x1F', '\x7F'}) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      std::string bytes = text;
      bytes[at] = control;
      ASSERT_FALSE(ReadsIntact(bytes)) << "byte " << int(control) << " at " << at;
    }
  }
  const std::string cut = text.substr(0, 15);
  TextModeReader input(cut);
  FieldReader fields(input);
  fields.SkipGap(10);
  fields.SkipGap(10);
  EXPECT_FALSE(fields.Intact()) << "a field cut short by the end of the data";
}

TEST(TextModeReader, ReadsCrLfAsLfAndEverythingElseAsItIs) {
  TextModeReader input("a\r\nb\rc\x1A" "d\r");
  EXPECT_EQ(input.Read(100), "a\nb\rc\x1A" "d\r");
  EXPECT_TRUE(input.AtEnd());
}

TEST(TextModeReader, CountsCrLfAsOneCharacterOfARead) {
  TextModeReader input("ab\r\ncd");
  EXPECT_EQ(input.Read(2), "ab");
  EXPECT_EQ(input.Read(1), "\n");
  EXPECT_EQ(input.position(), 4u);
  EXPECT_EQ(input.Read(3), "cd");
  EXPECT_EQ(input.Read(3), "");
}

TEST(TextModeReader, LineReadsStopAfterLfOrAtTheirLimit) {
  TextModeReader input("abc\r\nabcdef\nxy");
  EXPECT_TRUE(input.SkipLine(5));
  EXPECT_EQ(input.position(), 5u);
  EXPECT_TRUE(input.SkipLine(5));  // "abcde"
  EXPECT_TRUE(input.SkipLine(5));  // "f\n"
  EXPECT_EQ(input.position(), 12u);
  EXPECT_TRUE(input.SkipLine(5));  // "xy" without a line end
  EXPECT_FALSE(input.SkipLine(5));
}

TEST(TextModeReader, SkipsRawBytes) {
  TextModeReader input("\r\n\r\nab");
  input.Skip(3);
  EXPECT_EQ(input.Read(2), "\na");
  input.Skip(100);
  EXPECT_TRUE(input.AtEnd());
  EXPECT_EQ(input.Read(1), "");
}

TEST(ReadWholeFile, GivesEveryByteOrNothing) {
  test::ScopedTempDir dir;
  const std::string bytes = "a\r\n\0\x1A\xFF"s + std::string(200000, 'z');
  test::WriteFileBytes(dir / "f.dat", bytes);
  EXPECT_EQ(ReadWholeFile(dir / "f.dat"), bytes);
  EXPECT_EQ(ReadWholeFile(dir / "missing.dat"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(dir.path()), std::nullopt);
}

}  // namespace
}  // namespace kelvane
