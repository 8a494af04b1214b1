#include "app/working_folders.h"

#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "archive/path_helpers.h"
#include "platform/file_error.h"
#include "platform/user_folders.h"

namespace kelvane {
namespace {

void RemoveMadeBase(const std::string& madeBase) {
  if (madeBase.empty()) return;
  // Made by this run, private, and empty but for the JRA-VAN root it made.
  std::error_code ignored;
  std::filesystem::remove_all(madeBase, ignored);
}

}  // namespace

std::vector<std::string> WorkingFolderNames(const std::vector<std::string>& archives) {
  std::set<std::string> taken;
  std::vector<std::string> names;
  for (const auto& archive : archives) {
    std::string stem = PathStem(PathFileName(archive));
    // "", "." and ".." would name the run's folder or its parent, not a folder of their own.
    if (stem.find_first_not_of('.') == std::string::npos && stem.size() <= 2) stem = "_" + stem;
    std::string name = stem;
    for (int use = 2; !taken.insert(name).second; ++use) name = stem + "~" + std::to_string(use);
    names.push_back(std::move(name));
  }
  return names;
}

WorkingArea WorkingArea::Create(const std::string& base) {
  std::string chosen = base;
  std::string madeBase;
  if (chosen.empty()) {
    if (auto cache = UserCacheFolder()) {
      chosen = *cache;
    } else {
      chosen = madeBase = MakeFreshTempFolder();
    }
  }
  std::optional<RunFolder> folder;
  try {
    folder.emplace(RunFolder::Create(chosen, kWorkingRootName));
  } catch (...) {
    RemoveMadeBase(madeBase);
    throw;
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
  RemoveMadeBase(madeBase_);
}

}  // namespace kelvane
