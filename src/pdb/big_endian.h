#pragma once

// Big-endian numbers, as every number of the database file is stored: the most
// significant byte first. A value wider than its field keeps its low bytes, so 300 in
// one byte is 44 and -1 in two bytes is FF FF.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvane {

// Stores the low `width` (1 to 4) bytes of `value` at `at`.
constexpr void PutBigEndian(std::uint8_t* at, std::size_t width, std::uint64_t value) {
  for (std::size_t i = width; i-- > 0; value >>= 8) at[i] = static_cast<std::uint8_t>(value);
}

// The number stored in the `width` (1 to 4) bytes at `at`.
constexpr std::uint32_t GetBigEndian(const std::uint8_t* at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = (value << 8) | at[i];
  return value;
}

// The number of `width` bytes at `offset` of `bytes`; the bytes must be there.
inline std::uint32_t BigEndianAt(std::span<const std::uint8_t> bytes, std::size_t offset,
                                 std::size_t width) {
  return GetBigEndian(bytes.data() + offset, width);
}

}  // namespace kelvane
