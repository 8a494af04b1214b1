#pragma once

#include <optional>
#include <string>

namespace kelvane {

// A folder that belongs to one run: made fresh under a root folder, private to the
// user (mode 0700), with a name no other run can take, and locked for as long as the
// object lives, so that other runs know it is in use. Destroying the object removes
// the folder and everything in it.
//
// Nothing in it, or the root, is ever followed: a link, FIFO or device found where
// the root should be is removed and a real folder made in its place; removal never
// goes through a link. Making one also removes the run folders under the root whose
// runs have died (their lock is free), which is how a killed run's files go.
class RunFolder {
 public:
  // A fresh run folder under `base`/`rootName`/, making both as needed; nothing,
  // with the OS error number in `osError`, when that cannot be done.
  static std::optional<RunFolder> Create(const std::string& base, const std::string& rootName,
                                         int& osError);

  RunFolder(RunFolder&& other) noexcept;
  RunFolder& operator=(RunFolder&&) = delete;
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  ~RunFolder();

  // The folder's path, ending with '/'.
  const std::string& path() const { return path_; }

 private:
  RunFolder(std::string path, std::string name, int rootFd, int folderFd);

  std::string path_;
  std::string name_;
  int rootFd_ = -1;
  int folderFd_ = -1;
};

}  // namespace kelvane
