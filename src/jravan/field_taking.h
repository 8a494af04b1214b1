#pragma once

// The four ways a fixed-width field of a JRA-VAN file is taken. Every reader takes
// its fields through these, so a field means the same in the race card and in the
// horse register.
//
// A field is the bytes one block read delivered; it may be shorter than its width
// when the read met the end of the file, and a NUL byte inside it ends it early.

#include <cstddef>
#include <string_view>

namespace kelvane {

// The field as a C string: its bytes up to the first NUL. A loop in place rather
// than a call to search memory: fields are a few bytes long, and there are hundreds
// in a record.
inline std::string_view CutAtNul(std::string_view field) {
  std::size_t length = 0;
  while (length < field.size() && field[length] != '\0') ++length;
  return field.substr(0, length);
}

// TakeNumber for any field: white space, signs and runs of digits of any length.
bool TakeNumberInFull(std::string_view field, int& target);

// *number*: a signed decimal as "%d" reads it (leading C white space skipped, an
// optional sign, then digits up to the first other byte). Without digits `target`
// keeps its value and the result is false. Values past the range of int saturate.
// A register record holds some three hundred numbers, nearly all zero-padded digits
// that nine digits cannot take past the limits of int: those are read in place.
inline bool TakeNumber(std::string_view field, int& target) {
  const auto digitAt = [&](std::size_t i) { return static_cast<unsigned>(field[i] - '0'); };
  if (field.empty() || field.size() > 9 || digitAt(0) > 9) return TakeNumberInFull(field, target);
  int value = 0;
  for (std::size_t i = 0; i < field.size() && digitAt(i) <= 9; ++i) value = value * 10 + static_cast<int>(digitAt(i));
  target = value;
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
