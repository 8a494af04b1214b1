#include "jravan/text_mode_reader.h"

#include <algorithm>
#include <cstring>

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
  if (AtEnd() || maxChars == 0) return false;
  // Before the first LF every byte is a character of its own, so the line is the
  // bytes up to that LF, looked for among the next `maxChars` bytes; only a CR that
  // ends them makes one character with an LF after them.
  const char* const start = bytes_.data() + position_;
  const std::size_t window = std::min(maxChars, bytes_.size() - position_);
  if (const void* lf = std::memchr(start, '\n', window)) {
    position_ += static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1;
    return true;
  }
  position_ += window;
  if (start[window - 1] == '\r' && !AtEnd() && bytes_[position_] == '\n') ++position_;
  return true;
}

void TextModeReader::Skip(std::size_t rawBytes) {
  position_ = rawBytes > bytes_.size() - position_ ? bytes_.size() : position_ + rawBytes;
}

}  // namespace kelvane
