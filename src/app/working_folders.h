#pragma once

// Where a run unpacks its archives. The working area's base is the --work-dir the
// person named, or the user's cache folder ($XDG_CACHE_HOME/kelvane/ or
// ~/.cache/kelvane/); with no HOME, a private folder made fresh under TMPDIR. In the
// base, under "JRA-VAN/", each run makes a folder of its own (private, locked while
// it runs, removed when it ends, whatever the outcome), and in it one folder per
// archive. Everything in the run's folder is reached through it, held open.

#include <optional>
#include <string>
#include <vector>

#include "platform/own_folder.h"
#include "platform/run_folder.h"

namespace kelvane {

inline constexpr const char* kWorkingRootName = "JRA-VAN";

// The name of every listed archive's working folder: its stem. A later entry whose
// folder an earlier entry already takes gets one of its own ("<stem>~2", ...), so
// that each archive's races keep reading that archive's horse register. A stem of
// "", "." or ".." (an archive named "...lzh") becomes "_", "_." or "_..", so that no
// archive unpacks into the run's folder or above it.
std::vector<std::string> WorkingFolderNames(const std::vector<std::string>& archives);

// The working area of one run: its own folder under <base>/JRA-VAN/, and the base
// itself when the run had to make one (no HOME). Everything goes when it is destroyed.
class WorkingArea {
 public:
  // The area under `base`, or under the default base when `base` is empty. Throws
  // FileError naming the folder that could not be made, or FolderNotPrivate.
  static WorkingArea Create(const std::string& base);

  WorkingArea(WorkingArea&& other) noexcept;
  WorkingArea& operator=(WorkingArea&&) = delete;
  ~WorkingArea();

  // The run's folder, held open.
  const OwnFolder& folder() const { return folder_->folder(); }

 private:
  WorkingArea(std::optional<RunFolder> folder, std::string madeBase);

  std::optional<RunFolder> folder_;
  std::string madeBase_;  // the base the run made for itself, removed after it
};

}  // namespace kelvane
