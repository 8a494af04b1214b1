#pragma once

// Reads the bytes of a JRA-VAN file the way a Windows program reads a file opened in
// text mode, which is how these files are meant to be read:
//
// - Reads deliver characters: a CR LF pair in the file comes as one LF; a CR that
//   is not followed by LF comes as it is; 0x1A is an ordinary byte.
// - A block read delivers the characters asked for, fewer only where the data ends;
//   nothing of an earlier read is ever delivered again.
// - A line read delivers characters up to and including LF, at most `maxChars` of
//   them, so a line longer than that takes more than one read.
// - Skips move over raw bytes, CR LF counting as two.
//
// The reader works on a byte buffer it does not own; the buffer must outlive it.

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvane {

class TextModeReader {
 public:
  explicit TextModeReader(std::string_view bytes, std::size_t position = 0)
      : bytes_(bytes), position_(position < bytes.size() ? position : bytes.size()) {}

  // Up to `count` characters from the current position.
  std::string Read(std::size_t count);

  // Reads one line of at most `maxChars` characters and drops it. False when the data
  // had ended, so that no character was read.
  bool SkipLine(std::size_t maxChars);

  // Moves `rawBytes` bytes forward; past the end, every later read delivers nothing.
  void Skip(std::size_t rawBytes);

  bool AtEnd() const { return position_ >= bytes_.size(); }

  // The raw offset of the next byte to read.
  std::size_t position() const { return position_; }

 private:
  // The next character, advancing over the one or two bytes it takes. Not at end.
  char NextChar();

  std::string_view bytes_;
  std::size_t position_;
};

}  // namespace kelvane
