#include "jravan/field_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kelvane {
namespace {

using namespace std::string_literals;

struct Sample {
  int number = -1;
  std::string text = "old";
  char c = '?';
  std::array<int, 3> values{};
  std::array<std::string, 3> shown;

  bool operator==(const Sample&) const = default;
};

struct SamplePart {
  std::uint16_t number = 0;
  std::string text;
};

constexpr auto kSampleFields = [] {
  using namespace fields;
  return TableOf(
      NumberAndText("number", 0, 2, &Sample::number, &Sample::text),
      Char("c", 2, 1, &Sample::c),
      Number("values", 3, 2, &Sample::values).Every(3).Shown(&Sample::shown, [](int v) { return std::to_string(v); }));
}();

TEST(TakeFields, TakesEachFieldAtItsPlaceInEachOfItsWaysAndWhatIsLeftOfItPastTheEnd) {
  struct Case {
    std::string record;
    Sample taken;
  };
  const Case cases[] = {
      {"11X03 04 05 ", {11, "11", 'X', {3, 4, 5}, {"3", "4", "5"}}},
      // A number field without digits keeps its value; a text or char gets nothing.
      {"7", {7, "7", '\0', {0, 0, 0}, {"0", "0", "0"}}},
      {"", {-1, "", '\0', {0, 0, 0}, {"0", "0", "0"}}},
  };
  for (const Case& c : cases) {
    Sample sample;
    TakeFields<kSampleFields>(c.record, 0, sample);
    EXPECT_EQ(sample, c.taken) << c.record;
  }
}

TEST(FieldTables, TilingFindsGapsOverlapsAndTheWrongSize) {
  using namespace fields;
  constexpr auto whole = TableOf(Number("a", 0, 2, &Sample::number), NotRead(2, 3), Char("c", 5, 1, &Sample::c));
  static_assert(InputTiles(whole, 6));
  static_assert(!InputTiles(whole, 7));
  static_assert(!InputTiles(TableOf(Number("a", 0, 2, &Sample::number), Char("c", 3, 1, &Sample::c)), 4));
  static_assert(!InputTiles(TableOf(Number("a", 0, 2, &Sample::number), Char("c", 1, 1, &Sample::c)), 2));
  static_assert(InputTiles(TableOf(Number("v", 0, 2, &Sample::values).Every(4)), 12));
  constexpr auto records = TableOf(U16("number", 2, &SamplePart::number), Zeros(0, 2),
                                      ZeroPadded("text", 4, 6, &SamplePart::text));
  static_assert(RecordTiles(records, 10));
  static_assert(!RecordTiles(records, 11));
  static_assert(!RecordTiles(TableOf(U16("number", 0, &SamplePart::number), Zeros(1, 2)), 3));
  SUCCEED();
}

// Whether all of `bytes` read whole.
bool ReadsWhole(const std::string& bytes) { return ReadWhole(bytes, bytes.size()); }

TEST(ReadWhole, FailsForAControlCharacterOtherThanNulOrARecordCutShort) {
  // Text bytes everywhere: NUL, space, the top of ASCII, lead and trail bytes.
  std::string text;
  for (int i = 0; i < 100; ++i) text += "\0 ~\x80\x81\x40\xFF"s[i % 7];
  ASSERT_TRUE(ReadsWhole(text));
  // One control character anywhere, in the first bytes, the middle or the last.
  for (const char control : {'\x01', '\t', '\n', '\r', '\x1A', '\x1F', '\x7F'}) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      std::string bytes = text;
      bytes[at] = control;
      ASSERT_FALSE(ReadsWhole(bytes)) << "byte " << int(control) << " at " << at;
    }
  }
  EXPECT_FALSE(ReadWhole(text.substr(0, 19), 20)) << "a record cut short by the end of the data";
  EXPECT_TRUE(ReadWhole(text + "\n", text.size())) << "bytes after the fields read do not count";
}

}  // namespace
}  // namespace kelvane
