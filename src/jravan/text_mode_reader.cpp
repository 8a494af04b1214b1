#include "jravan/text_mode_reader.h"

namespace kelvane {
namespace {

// How far a read looks ahead for the next CR: about one record of either file.
constexpr std::size_t kLookAhead = 4096;

}  // namespace

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

std::string_view TextModeReader::ReadLookingAhead(std::size_t count, std::string& scratch) {
  // Look for the next CR a stretch ahead at once, rather than field by field.
  const std::size_t available = std::min(count, bytes_.size() - position_);
  const std::string_view ahead = bytes_.substr(position_, std::max(available, kLookAhead));
  plainUntil_ = position_ + std::min(ahead.find('\r'), ahead.size());
  if (position_ + available > plainUntil_) {
    scratch = Read(count);
    return scratch;
  }
  const std::string_view chars = bytes_.substr(position_, available);
  position_ += available;
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
