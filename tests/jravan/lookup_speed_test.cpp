// The shortcuts that make a season convert in linear time give what the plain,
// step-by-step reading gives, byte for byte, on input full of the text-mode quirks.

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "codes/text_shaping.h"
#include "jravan/field_table.h"
#include "jravan/field_taking.h"
#include "jravan/horse_fields.h"
#include "jravan/horse_register.h"
#include "jravan/race_fields.h"
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

// The fields of a part as block reads in text mode give them, one after the other
// from the part's start, the bytes between repetitions read and dropped; `whole`
// when every read got its width and the raw bytes read hold no control character
// other than NUL.
struct BlockReads {
  std::vector<std::string> fields;
  bool whole = true;
};

template <typename Table>
BlockReads ReadInTextMode(const std::string& bytes, const Table& table) {
  BlockReads reads;
  TextModeReader input(bytes);
  const auto read = [&](std::size_t count) {
    std::string chars = input.Read(count);
    reads.whole = reads.whole && chars.size() == count;
    return chars;
  };
  for (const NamedPlace& field : InputPlaces(table)) {
    for (std::size_t i = 0; i < field.at.count; ++i) {
      reads.fields.push_back(read(field.at.width));
      read(field.at.stride - field.at.width);
    }
  }
  reads.whole = reads.whole && !HoldsControl(std::string_view(bytes).substr(0, input.position()));
  return reads;
}

// The same fields taken where the table puts them.
template <typename Table>
BlockReads ReadAtOffsets(const std::string& bytes, const Table& table, std::size_t size) {
  BlockReads reads;
  for (const NamedPlace& field : InputPlaces(table)) {
    for (std::size_t i = 0; i < field.at.count; ++i) {
      reads.fields.emplace_back(FieldBytes(bytes, field.at.offset + i * field.at.stride, field.at.width));
    }
  }
  reads.whole = ReadWhole(bytes, size);
  return reads;
}

TEST(FieldTables, FieldsAtTheirOffsetsAreWhatTextModeBlockReadsGiveWhereTheyReadWhole) {
  std::minstd_rand random(11);
  const auto check = [&](const auto& table, std::size_t size) {
    for (int round = 0; round < 400; ++round) {
      // Text with a few quirks put in or over it: CR, LF, CR LF, NUL.
      std::string bytes;
      for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>('0' + random() % 10);
      for (int q = static_cast<int>(random() % 3); q > 0; --q) {
        const std::string quirk = std::array<std::string, 4>{"\r", "\n", "\r\n", "\0"s}[random() % 4];
        const std::size_t at = random() % bytes.size();
        if (random() % 2) {
          bytes.insert(at, quirk);
        } else {
          bytes.replace(at, quirk.size(), quirk);
        }
      }
      bytes.resize(size - 2 + random() % 5, ' ');
      const BlockReads reads = ReadInTextMode(bytes, table);
      const BlockReads taken = ReadAtOffsets(bytes, table, size);
      ASSERT_EQ(taken.whole, reads.whole) << "round " << round;
      if (reads.whole) {
        ASSERT_EQ(taken.fields, reads.fields) << "round " << round;
      }
    }
  };
  check(kRacePartFields, kRacePartOfLineSize);
  check(kPastRunFields, kPastRunEntrySize);
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
