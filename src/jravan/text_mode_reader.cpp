#include "jravan/text_mode_reader.h"

#include <algorithm>

namespace kelvane {

char TextModeReader::NextChar() {
  const char c = bytes_[position_++];
  if (c == '\r' && position_ < bytes_.size() && bytes_[position_] == '\n') {
    ++position_;
    return '\n';
  }
  return c;
}

std::string TextModeReader::Read(std::size_t count) {
  std::string chars;
  while (chars.size() < count && !AtEnd()) {
    // Bytes before the next CR are characters as they are: copied in one go.
    const std::string_view rest =
        bytes_.substr(position_, std::min(count - chars.size(), bytes_.size() - position_));
    const std::size_t plain = std::min(rest.find('\r'), rest.size());
    chars.append(rest.substr(0, plain));
    position_ += plain;
    if (plain < rest.size()) chars += NextChar();
  }
  return chars;
}

bool TextModeReader::SkipLine(std::size_t maxChars) {
  std::size_t read = 0;
  while (read < maxChars && !AtEnd()) {
    ++read;
    if (NextChar() == '\n') break;
  }
  return read > 0;
}

void TextModeReader::Skip(std::size_t rawBytes) {
  position_ = rawBytes > bytes_.size() - position_ ? bytes_.size() : position_ + rawBytes;
}

}  // namespace kelvane
