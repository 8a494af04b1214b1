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

void SpareFiles::Discard() {
  std::vector<Spare> discarded;
  {
    const std::lock_guard lock(mutex_);
    discarded_ = true;
    discarded.swap(spares_);
  }
  for (const Spare& spare : discarded) folder_.Remove(spare.name);
}

}  // namespace kelvane
