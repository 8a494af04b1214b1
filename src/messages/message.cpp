#include "messages/message.h"

namespace kelvane {

std::string WithValue(std::string text, std::string_view placeholder, std::string_view value) {
  if (const auto at = text.find(placeholder); at != std::string::npos) {
    text.replace(at, placeholder.size(), value);
  }
  return text;
}

namespace {

// The length of the well-formed UTF-8 character at the start of `text` that is not a
// control character; 0 when there is none.
std::size_t PrintableUtf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead >= 0x20 && lead < 0x7f) return 1;
  std::size_t length = 0;
  char32_t code = 0;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
    code = lead & 0x1fu;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    code = lead & 0x0fu;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    code = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xc0u) != 0x80u) return 0;
    code = (code << 6) | (byte(i) & 0x3fu);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  const bool wellFormed = code >= kShortest[length] && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff);
  const bool control = code >= 0x80 && code <= 0x9f;
  return wellFormed && !control ? length : 0;
}

}  // namespace

std::string EscapedName(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (std::size_t i = 0; i < name.size();) {
    const char c = name[i];
    if (c == '\\') {
      shown += "\\\\";
      ++i;
    } else if (const std::size_t length = PrintableUtf8Length(name.substr(i)); length > 0) {
      shown.append(name, i, length);
      i += length;
    } else {
      switch (c) {
        case '\n': shown += "\\n"; break;
        case '\t': shown += "\\t"; break;
        case '\r': shown += "\\r"; break;
        default: {
          static constexpr char kHex[] = "0123456789abcdef";
          const auto b = static_cast<unsigned char>(c);
          shown += "\\x";
          shown += kHex[b >> 4];
          shown += kHex[b & 0xf];
        }
      }
      ++i;
    }
  }
  return shown;
}

void PlacingSink::ShowMessage(const Message& message) {
  Message placed = message;
  MessagePlace& p = placed.place;
  if (p.archive.empty()) p.archive = place_.archive;
  if (p.cardRace == 0) {
    p.cardRace = place_.cardRace;
    p.year = place_.year;
    p.monthDay = place_.monthDay;
    p.racecourseName = place_.racecourseName;
    p.raceNumber = place_.raceNumber;
  }
  if (p.entry == 0) {
    p.entry = place_.entry;
    p.horseId = place_.horseId;
  }
  next_.ShowMessage(placed);
}

}  // namespace kelvane
