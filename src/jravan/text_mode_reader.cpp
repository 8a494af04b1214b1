#include "jravan/text_mode_reader.h"

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
  while (chars.size() < count && !AtEnd()) chars += NextChar();
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
