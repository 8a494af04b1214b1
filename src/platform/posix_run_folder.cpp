// The run folder: made and swept through folders held open (OwnFolder), so that no
// path component made by someone else is ever followed; its lock is flock() on its
// descriptor, which ends with the process.
#include "platform/run_folder.h"

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/posix_os_error.h"

namespace kelvane {
namespace {

constexpr std::string_view kRunPrefix = "run-";

// Removes the run folders under the root whose runs are over: their lock is free.
void RemoveStaleRunFolders(const OwnFolder& root) {
  for (const std::string& name : root.Names()) {
    if (std::string_view(name).substr(0, kRunPrefix.size()) != kRunPrefix) continue;
    const auto folder = root.OpenFolder(name);
    if (folder && folder->TryLock()) root.Remove(name);
  }
}

}  // namespace

RunFolder RunFolder::Create(const std::string& base, const std::string& rootName) {
  std::error_code ec;
  std::filesystem::create_directories(base, ec);
  if (ec) ThrowFileError(ec.value(), base);
  OwnFolder root = OwnFolder::Open(base).OpenOrMakeFolder(rootName);
  if (root.OthersCanChange()) throw FolderNotPrivate(root.path());
  // While the root is locked no other run sweeps it, so a folder just made and not
  // yet locked is never taken for a dead run's.
  root.Lock();
  try {
    RemoveStaleRunFolders(root);
    auto [folder, name] = root.MakeFreshFolder(kRunPrefix);
    folder.TryLock();
    root.Unlock();
    return RunFolder(std::move(root), std::move(folder), std::move(name));
  } catch (...) {
    root.Unlock();
    throw;
  }
}

RunFolder::RunFolder(OwnFolder root, OwnFolder folder, std::string name)
    : root_(std::move(root)), folder_(std::move(folder)), name_(std::move(name)) {}

RunFolder::RunFolder(RunFolder&& other) noexcept
    : root_(std::exchange(other.root_, std::nullopt)),
      folder_(std::exchange(other.folder_, std::nullopt)),
      name_(std::move(other.name_)) {}

RunFolder::~RunFolder() {
  if (!root_) return;
  // What is in it goes through the folder itself, wherever it was moved meanwhile.
  folder_->RemoveEverything();
  root_->Remove(name_);
}

}  // namespace kelvane
