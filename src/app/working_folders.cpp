#include "app/working_folders.h"

#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "archive/path_helpers.h"
#include "platform/user_folders.h"

namespace kelvane {

std::vector<std::string> WorkingFolders(const std::string& runFolder,
                                        const std::vector<std::string>& archives) {
  const std::string root = runFolder.empty() || runFolder.back() == '/' ? runFolder : runFolder + "/";
  std::set<std::string> taken;
  std::vector<std::string> folders;
  for (const auto& archive : archives) {
    std::string stem = PathStem(PathFileName(archive));
    // "", "." and ".." would name the run's folder or its parent, not a folder of their own.
    if (stem.find_first_not_of('.') == std::string::npos && stem.size() <= 2) stem = "_" + stem;
    std::string name = stem;
    for (int use = 2; !taken.insert(name).second; ++use) name = stem + "~" + std::to_string(use);
    folders.push_back(root + name + "/");
  }
  return folders;
}

std::optional<WorkingArea> WorkingArea::Create(const std::string& base, int& osError,
                                               std::string& failedFolder) {
  std::string chosen = base;
  std::string madeBase;
  if (chosen.empty()) {
    if (auto cache = UserCacheFolder()) {
      chosen = *cache;
    } else if (auto fresh = MakeFreshTempFolder()) {
      chosen = madeBase = *fresh;
    }
  }
  osError = ENOENT;
  auto folder = chosen.empty() ? std::nullopt : RunFolder::Create(chosen, kWorkingRootName, osError);
  if (!folder) {
    failedFolder = (std::filesystem::path(chosen) / kWorkingRootName).string();
    if (!madeBase.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(madeBase, ignored);
    }
    return std::nullopt;
  }
  return WorkingArea(std::move(folder), std::move(madeBase));
}

WorkingArea::WorkingArea(std::optional<RunFolder> folder, std::string madeBase)
    : folder_(std::move(folder)), madeBase_(std::move(madeBase)) {}

WorkingArea::WorkingArea(WorkingArea&& other) noexcept
    : folder_(std::exchange(other.folder_, std::nullopt)),
      madeBase_(std::exchange(other.madeBase_, std::string())) {}

WorkingArea::~WorkingArea() {
  folder_.reset();
  if (!madeBase_.empty()) {
    // Made by this run, private, and empty but for the JRA-VAN root it made.
    std::error_code ignored;
    std::filesystem::remove_all(madeBase_, ignored);
  }
}

}  // namespace kelvane
