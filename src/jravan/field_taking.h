#pragma once

// The four ways a fixed-width field of a JRA-VAN file is taken. Every reader takes
// its fields through these, so a field means the same in the race card and in the
// horse register.
//
// A field is the bytes one block read delivered; it may be shorter than its width
// when the read met the end of the file, and a NUL byte inside it ends it early.

#include <string_view>

namespace kelvane {

// The field as a C string: its bytes up to the first NUL.
std::string_view CutAtNul(std::string_view field);

// *number*: a signed decimal as "%d" reads it (leading C white space skipped, an
// optional sign, then digits up to the first other byte). Without digits `target`
// keeps its value and the result is false. Values past the range of int saturate.
bool TakeNumber(std::string_view field, int& target);

// *value*: a signed decimal as atoi reads it; 0 when the field holds no digits.
int TakeValue(std::string_view field);

// *text*: the field's bytes up to the first NUL, seen where they lie.
std::string_view TakeText(std::string_view field);

// *char*: the field's first byte; 0 for a field that holds no byte.
char TakeChar(std::string_view field);

}  // namespace kelvane
