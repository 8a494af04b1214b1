#include "archive/path_helpers.h"

#include <filesystem>
#include <system_error>

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

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace kelvane
