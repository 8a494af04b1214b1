#pragma once

// The four ways a fixed-width field of a JRA-VAN file is taken. Every reader takes
// its fields through these, so a field means the same in the race card and in the
// horse register.
//
// A field is the bytes one block read delivered; it may be shorter than its width
// when the read met the end of the file, and a NUL byte inside it ends it early.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kelvane {

// The field as a C string: its bytes up to the first NUL. Fields are a few bytes
// long and there are hundreds in a record, so they are searched in place, eight
// bytes at a time while no byte of the eight is NUL, then byte by byte.
inline std::string_view CutAtNul(std::string_view field) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  std::size_t length = 0;
  for (; field.size() - length >= sizeof(std::uint64_t); length += sizeof(std::uint64_t)) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, field.data() + length, sizeof eight);
    if (((eight - kOnes) & ~eight & kHighs) != 0) break;  // one of the eight is NUL
  }
  while (length < field.size() && field[length] != '\0') ++length;
  return field.substr(0, length);
}

// TakeNumber for any field: white space, signs and runs of digits of any length.
bool TakeNumberInFull(std::string_view field, int& target);

// *number*: a signed decimal as "%d" reads it (leading C white space skipped, an
// optional sign, then digits up to the first other byte). Without digits `target`
// keeps its value and the result is false. Values past the range of int saturate.
// A register record holds some three hundred numbers, nearly all zero-padded digits
// that nine digits cannot take past the limits of int: a field of digits alone is
// read here, every byte looked at with no early exit so that the loop is laid out
// straight for a field of constant width; anything else is read by TakeNumberInFull.
inline bool TakeNumber(std::string_view field, int& target) {
  if (field.empty() || field.size() > 9) return TakeNumberInFull(field, target);
  std::uint32_t value = 0;
  bool digitsAlone = true;
#pragma GCC unroll 9
  for (const char c : field) {
    const auto digit = static_cast<std::uint32_t>(static_cast<unsigned char>(c)) - std::uint32_t{'0'};
    digitsAlone &= digit <= 9;
    value = value * 10 + digit;
  }
  if (!digitsAlone) return TakeNumberInFull(field, target);
  target = static_cast<int>(value);
  return true;
}

// *value*: a signed decimal as atoi reads it; 0 when the field holds no digits.
inline int TakeValue(std::string_view field) {
  int value = 0;
  TakeNumber(field, value);
  return value;
}

// *text*: the field's bytes up to the first NUL, seen where they lie.
inline std::string_view TakeText(std::string_view field) { return CutAtNul(field); }

// *char*: the field's first byte; 0 for a field that holds no byte.
inline char TakeChar(std::string_view field) { return field.empty() ? '\0' : field.front(); }

}  // namespace kelvane
