#include "archive/spare_files.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace kelvane {

SpareFiles::SpareFiles(OwnFolder folder) : folder_(std::move(folder)) {}

std::FILE* SpareFiles::Reuse(const OwnFolder& folder, const std::string& name, const std::string& finalName) {
  std::string spare;
  {
    const std::lock_guard lock(mutex_);
    if (spares_.empty()) return nullptr;
    auto chosen = std::find_if(spares_.rbegin(), spares_.rend(),
                               [&](const Spare& candidate) { return candidate.hadName == finalName; });
    if (chosen == spares_.rend()) chosen = spares_.rbegin();
    spare = std::move(chosen->name);
    spares_.erase(std::next(chosen).base());
  }
  if (const auto failure = folder_.MoveTo(spare, folder, name)) failure->Throw(folder.path() + name);
  return folder.OpenToWriteOver(name);
}

void SpareFiles::Keep(const OwnFolder& folder) {
  for (const std::string& name : folder.Names()) {
    const std::lock_guard lock(mutex_);
    if (discarded_) return;
    std::string spare = std::to_string(named_++);
    if (!folder.MoveTo(name, folder_, spare)) spares_.push_back({name, std::move(spare)});
  }
}

OwnFolder SpareFiles::MakeFolder(const OwnFolder& parent, const std::string& name) {
  std::string spare;
  {
    const std::lock_guard lock(mutex_);
    if (!folders_.empty()) {
      spare = std::move(folders_.back());
      folders_.pop_back();
    }
  }
  if (spare.empty()) return parent.MakeFolder(name);
  if (const auto failure = folder_.MoveTo(spare, parent, name)) failure->Throw(parent.path() + name);
  std::optional<OwnFolder> moved = parent.OpenFolder(name);
  if (!moved) OsFailure::Last().Throw(parent.path() + name);
  moved->RemoveEverything();
  return std::move(*moved);
}

void SpareFiles::KeepFolder(const OwnFolder& parent, const std::string& name) {
  if (const auto folder = parent.OpenFolder(name)) Keep(*folder);
  {
    const std::lock_guard lock(mutex_);
    if (!discarded_) {
      std::string spare = std::to_string(named_++);
      if (!parent.MoveTo(name, folder_, spare)) {
        folders_.push_back(std::move(spare));
        return;
      }
    }
  }
  parent.Remove(name);
}

void SpareFiles::Discard() {
  std::vector<Spare> discarded;
  std::vector<std::string> discardedFolders;
  {
    const std::lock_guard lock(mutex_);
    discarded_ = true;
    discarded.swap(spares_);
    discardedFolders.swap(folders_);
  }
  for (const Spare& spare : discarded) folder_.Remove(spare.name);
  for (const std::string& name : discardedFolders) folder_.Remove(name);
}

}  // namespace kelvane
