#include "archive/spare_files.h"

#include <optional>
#include <utility>

namespace kelvane {

SpareFiles::SpareFiles(OwnFolder folder) : folder_(std::move(folder)) {}

std::FILE* SpareFiles::Reuse(const OwnFolder& folder, const std::string& name) {
  std::string spare;
  {
    const std::lock_guard lock(mutex_);
    if (names_.empty()) return nullptr;
    spare = std::move(names_.back());
    names_.pop_back();
  }
  if (const auto failure = folder_.MoveTo(spare, folder, name)) failure->Throw(folder.path() + name);
  return folder.OpenToWriteOver(name);
}

void SpareFiles::Keep(const OwnFolder& folder) {
  for (const std::string& name : folder.Names()) {
    const std::lock_guard lock(mutex_);
    std::string spare = std::to_string(named_++);
    if (!folder.MoveTo(name, folder_, spare)) names_.push_back(std::move(spare));
  }
}

}  // namespace kelvane
