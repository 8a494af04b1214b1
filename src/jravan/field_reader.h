#pragma once

// Field-by-field reading of a fixed-width JRA-VAN record: each field is one block
// read of exactly its width from where the previous field ended, taken in one or two
// of the four ways (see field_taking.h). Gaps are read the same way and dropped, so
// the reads stay in step with the layout.

#include <cstddef>
#include <string>
#include <string_view>

#include "jravan/field_taking.h"
#include "jravan/text_mode_reader.h"

namespace kelvane {

// The bytes of one field as a block read delivered them, seen where they lie: a
// field is valid until the next read of its reader.
class Field {
 public:
  explicit Field(std::string_view bytes) : bytes_(bytes) {}

  bool NumberInto(int& target) const { return TakeNumber(bytes_, target); }
  int Value() const { return TakeValue(bytes_); }
  std::string_view Text() const { return TakeText(bytes_); }
  char Char() const { return TakeChar(bytes_); }

  // The fields that the layout takes in two ways.
  void NumberAndText(int& number, std::string& text) const {
    NumberInto(number);
    text = Text();
  }
  void NumberAndChar(int& number, char& c) const {
    NumberInto(number);
    c = Char();
  }
  void TextAndChar(std::string& text, char& c) const {
    text = Text();
    c = Char();
  }

  std::string_view bytes() const { return bytes_; }

 private:
  std::string_view bytes_;
};

class FieldReader {
 public:
  explicit FieldReader(TextModeReader& input) : input_(input), start_(input.position()) {}

  // The next field, valid until the next call.
  Field Next(std::size_t width) { return Field(Take(width)); }
  void SkipGap(std::size_t width) { Take(width); }

  // False once a read met the end of the data before its width (the record is cut
  // short) or delivered a control character other than NUL (it is binary junk, not
  // text): the fields read are then not what the layout says. A NUL is text's end
  // within a field, as the four ways of taking fields define it.
  bool Intact() const {
    return whole_ && !HoldsControl(input_.Bytes().substr(start_, input_.position() - start_));
  }

 private:
  // Looks at the raw bytes read, in one pass: a CR among them is a control character
  // as it is delivered, and so is the LF that a CR LF pair delivers. Every byte of
  // every record read is looked at, so they go in blocks of a fixed size, which the
  // compiler tests many bytes of at once.
  static bool HoldsControl(std::string_view bytes) {
    constexpr std::size_t kBlock = 32;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    for (; end - p >= static_cast<std::ptrdiff_t>(kBlock); p += kBlock) {
      unsigned char found = 0;
      for (std::size_t k = 0; k < kBlock; ++k) found |= IsControl(p[k]);
      if (found != 0) return true;
    }
    for (; p != end; ++p) {
      if (IsControl(*p)) return true;
    }
    return false;
  }
  static unsigned char IsControl(unsigned char c) {
    return static_cast<unsigned char>(static_cast<unsigned char>(c - 1u) < 0x1Fu) |
           static_cast<unsigned char>(c == 0x7F);
  }

  std::string_view Take(std::size_t width) {
    const std::string_view bytes = input_.Read(width, scratch_);
    whole_ &= bytes.size() == width;
    return bytes;
  }

  TextModeReader& input_;
  std::size_t start_;
  std::string scratch_;  // a field whose bytes hold a CR, as the reads deliver it
  bool whole_ = true;
};

}  // namespace kelvane
