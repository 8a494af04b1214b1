// The shortcuts that make a season convert in linear time give what the plain,
// step-by-step reading gives, byte for byte, on input full of the text-mode quirks.

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "codes/text_shaping.h"
#include "jravan/field_taking.h"
#include "jravan/horse_register.h"
#include "jravan/text_mode_reader.h"
#include "jravan_test_files.h"

namespace kelvane::test {
namespace {

using namespace std::string_literals;

// Bytes drawn mostly from those that matter to text-mode reads and key comparison.
std::string QuirkyBytes(std::minstd_rand& random, std::size_t size) {
  static const std::string kAlphabet = "\r\n\r\n\0\x81\x40 \t12ab"s;
  std::string bytes(size, ' ');
  for (char& b : bytes) b = kAlphabet[random() % kAlphabet.size()];
  return bytes;
}

// The search a register makes without its index: read a 10-character key, compare
// it as a C string, skip the 2871 raw bytes to the next key, from the start.
std::optional<std::size_t> WalkToRecord(const std::string& bytes, std::string_view horseId) {
  TextModeReader input(bytes);
  for (;;) {
    const std::string key = input.Read(10);
    if (key.size() < 10) return std::nullopt;
    if (CutAtNul(key) == CutAtNul(horseId)) return input.position();
    input.Skip(2871);
  }
}

TEST(HorseRegisterIndex, FindsWhatTheWalkFromTheStartFinds) {
  std::minstd_rand random(8);
  HorseRecord horse{.key = "1999100001", .horseName = "テストホース"};
  for (int round = 0; round < 200; ++round) {
    // Records with quirky keys, some repeated, some cut short by a CR LF that
    // shifts every later record, and a tail that ends inside a key.
    std::string bytes;
    std::vector<std::string> keys = {"", "1999100001", "19991"s + '\0' + "0000"s};
    for (int r = 0; r < 6; ++r) {
      horse.key = Text::Cp932(r % 3 == 2 ? keys[random() % keys.size()] : QuirkyBytes(random, 10));
      std::string record = HorseRecordBytes(horse);
      record.insert(random() % record.size(), QuirkyBytes(random, random() % 4));
      bytes += record;
      keys.push_back(std::string(CutAtNul(horse.key.cp932())));
    }
    bytes += QuirkyBytes(random, random() % 12);
    keys.push_back(QuirkyBytes(random, 10));

    const HorseRegister horses(bytes);
    for (const std::string& key : keys) {
      ASSERT_EQ(horses.FindRecord(key), WalkToRecord(bytes, key)) << "round " << round;
    }
  }
}

TEST(TextModeReader, ViewReadsDeliverWhatCopyingReadsDeliver) {
  std::minstd_rand random(3);
  for (int round = 0; round < 300; ++round) {
    const std::string bytes = QuirkyBytes(random, 1 + random() % 9000);
    TextModeReader copying(bytes);
    TextModeReader viewing(bytes);
    std::string scratch;
    while (!copying.AtEnd()) {
      const std::size_t count = random() % 40;
      if (random() % 8 == 0) {
        const std::size_t raw = random() % 5000;
        copying.Skip(raw);
        viewing.Skip(raw);
      } else {
        ASSERT_EQ(viewing.Read(count, scratch), copying.Read(count)) << "round " << round;
      }
      ASSERT_EQ(viewing.position(), copying.position());
    }
    EXPECT_EQ(viewing.Read(4, scratch), "");
  }
}

TEST(HalfWidthName, IsTheConvertedFieldWithoutTrailingWhiteSpace) {
  const std::vector<std::string> fields = {
      "", "\x81\x40", " \x81\x40", "\x82\x60\x81\x40\x81\x40", "\x82\x60\x81\x40 ",
      "x\x81\x40\x81\x40", "\x83\x41\x81\x40\x81", "\x82\x60 \t", "\x82\x60\x81\x40\x82\x61",
      "\x81\x40\x81\x40\x81\x40"};
  for (const std::string& field : fields) {
    EXPECT_EQ(HalfWidthName(field), WithoutTrailingWhitespace(ToHalfWidth(field))) << field;
  }
  std::minstd_rand random(5);
  for (int round = 0; round < 2000; ++round) {
    const std::string field = QuirkyBytes(random, random() % 37);
    ASSERT_EQ(HalfWidthName(field), WithoutTrailingWhitespace(ToHalfWidth(field))) << round;
  }
}

}  // namespace
}  // namespace kelvane::test
