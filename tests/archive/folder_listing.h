#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace kelvane::test {

// Every file, folder and link under `root` (links not followed), as paths relative to
// it, so a test can assert that an archive put nothing anywhere else.
inline std::set<std::string> EverythingUnder(const std::string& root) {
  std::set<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    found.insert(std::filesystem::relative(entry.path(), root).string());
  }
  return found;
}

}  // namespace kelvane::test
