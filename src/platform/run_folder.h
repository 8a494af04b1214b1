#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "platform/own_folder.h"

namespace kelvane {

// The working root another user could change: it belongs to someone else, or others
// may write in it (and it is not sticky). A run refuses it, as ssh refuses a key
// folder with loose permissions: someone else could swap what the run unpacks.
class FolderNotPrivate : public std::runtime_error {
 public:
  explicit FolderNotPrivate(std::string path)
      : std::runtime_error("not private: " + path), path_(std::move(path)) {}
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

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
  // A fresh run folder under `base`/`rootName`/, making both as needed. Throws
  // FileError naming the folder that could not be made or opened, and
  // FolderNotPrivate when the root is one that others can change.
  static RunFolder Create(const std::string& base, const std::string& rootName);

  RunFolder(RunFolder&& other) noexcept;
  RunFolder& operator=(RunFolder&&) = delete;
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;
  ~RunFolder();

  // The run's folder, held open.
  const OwnFolder& folder() const { return *folder_; }

 private:
  RunFolder(OwnFolder root, OwnFolder folder, std::string name);

  std::optional<OwnFolder> root_;
  std::optional<OwnFolder> folder_;
  std::string name_;
};

}  // namespace kelvane
