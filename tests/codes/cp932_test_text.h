#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "codes/cp932.h"

namespace kelvane {

// CP932 bytes written as hex pairs: "82 69" -> "\x82\x69".
inline std::string Bytes(std::string_view hex) {
  std::istringstream in{std::string(hex)};
  std::string bytes;
  for (std::string pair; in >> pair;) bytes += static_cast<char>(std::strtol(pair.c_str(), nullptr, 16));
  return bytes;
}

// The CP932 form of a UTF-8 text, through the system's converter.
inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

}  // namespace kelvane
