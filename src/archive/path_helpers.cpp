#include "archive/path_helpers.h"

#include <algorithm>

namespace kelvane {
namespace {

// Where the last component starts.
std::size_t ComponentStart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string PathFileName(const std::string& path) { return path.substr(ComponentStart(path)); }

std::string PathFolder(const std::string& path) { return path.substr(0, ComponentStart(path)); }

std::string PathStem(const std::string& name) {
  const auto start = ComponentStart(name);
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot <= start) return name;
  return name.substr(0, dot);
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace kelvane
