#include "jravan/field_taking.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

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

TEST(TakeText, FindsTheFirstNulAtAnyPlaceOfALongField) {
  for (std::size_t nul = 0; nul <= 20; ++nul) {
    std::string field(20, '\x82');
    if (nul < field.size()) field[nul] = '\0';
    if (nul + 3 < field.size()) field[nul + 3] = '\0';
    EXPECT_EQ(TakeText(field).size(), nul) << "first NUL at " << nul;
  }
}

TEST(TakeChar, KeepsTheFirstByteOrZero) {
  EXPECT_EQ(TakeChar("1"), '1');
  EXPECT_EQ(TakeChar("\x82\x60"), '\x82');
  EXPECT_EQ(TakeChar(""), '\0');
  EXPECT_EQ(TakeChar("\0" "1"s), '\0');
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
  // A CR LF that the limit falls between is the line's last character; a lone CR is
  // a character like any other.
  TextModeReader edges("abcd\r\nabcd\rx");
  EXPECT_TRUE(edges.SkipLine(5));
  EXPECT_EQ(edges.position(), 6u);
  EXPECT_TRUE(edges.SkipLine(5));
  EXPECT_EQ(edges.position(), 11u);
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
