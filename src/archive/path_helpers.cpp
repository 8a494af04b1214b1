#include "archive/path_helpers.h"

#include <filesystem>
#include <system_error>

namespace kelvane {

std::string PathFileName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string PathStem(const std::string& name) {
  const auto start = name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1;
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot < start || dot == 0) return name;
  return name.substr(0, dot);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace kelvane
