#include "pdb/big_endian.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvane {
namespace {

TEST(BigEndian, NumbersKeepTheirLowBitsMostSignificantFirstAndReadBack) {
  struct Case {
    std::size_t width;
    std::int64_t value;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {1, 300, {44}},           {1, -1, {255}},
      {2, 550, {0x02, 0x26}},   {2, 2400, {0x09, 0x60}},
      {2, 0x12345, {0x23, 0x45}}, {2, -2, {0xFF, 0xFE}},
      {4, 0x01020304, {1, 2, 3, 4}}, {4, -1, {0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes(c.width);
    PutBigEndian(bytes.data(), c.width, static_cast<std::uint64_t>(c.value));
    EXPECT_EQ(bytes, c.bytes) << c.value;
    const std::uint64_t mask = (std::uint64_t{1} << (8 * c.width)) - 1;
    EXPECT_EQ(GetBigEndian(bytes.data(), c.width), static_cast<std::uint64_t>(c.value) & mask);
    EXPECT_EQ(BigEndianAt(bytes, 0, c.width), GetBigEndian(bytes.data(), c.width));
  }
}

}  // namespace
}  // namespace kelvane
