#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_error.h"

namespace kelvane {

// A folder of the run's own, held open: what is in it is made, opened, renamed and
// removed relative to it, never through a path from the top, so that renaming the
// folder or putting a link in its place while the run is stopped changes nothing,
// and nothing found in it is followed. Copies share the one open folder.
//
// The folder is private to the run, so whatever fails in it is the machine's doing:
// FileError with the cause and the place, or std::bad_alloc when memory ran out.
class OwnFolder {
 public:
  // The folder at `path` (a folder, not a link to one). FileError when it cannot be
  // opened.
  static OwnFolder Open(const std::string& path);

  // A new folder `name` in this one, private (mode 0700). FileError when it cannot be
  // made, or something is there already.
  OwnFolder MakeFolder(const std::string& name) const;

  // The folder `name` in this one, opened without following a link; nothing when
  // there is no folder of that name.
  std::optional<OwnFolder> OpenFolder(const std::string& name) const;

  // The folder `name` in this one, made (mode 0700) when missing. Whatever else stands
  // at that name and is not a plain file (a link, a FIFO, a device) is not ours: it is
  // removed, never followed, and a folder made in its place. FileError when a plain
  // file is there (somebody's data) or the folder cannot be made.
  OwnFolder OpenOrMakeFolder(const std::string& name) const;

  // True when someone else could change what is in the folder: it belongs to another
  // user, or others may write in it and it is not sticky.
  bool OthersCanChange() const;

  // A new file `name`, private (mode 0600), open for writing and reading back; nothing
  // already at that name is opened. FileError when it cannot be made.
  std::FILE* CreateFile(const std::string& name) const;

  // A new folder under a fresh name: `prefix` and twelve random letters and digits
  // that nothing in the folder has; with that name.
  std::pair<OwnFolder, std::string> MakeFreshFolder(std::string_view prefix) const;

  // A new file as CreateFile makes it, under a fresh name as MakeFreshFolder gives,
  // and locked for as long as it is open. Files of that prefix whose lock is free
  // (left by a process that was killed) are removed first; the folder is locked
  // meanwhile, so that a file just made is never taken for one left.
  std::pair<std::FILE*, std::string> CreateLockedFile(std::string_view prefix) const;

  // The regular file `name`, open for writing over its bytes from the start; they
  // and the room they take stay until written over or cut off. FileError when it
  // cannot be opened or is not a regular file.
  std::FILE* OpenToWriteOver(const std::string& name) const;

  // Every byte of the regular file `name`. FileError when it cannot be read.
  std::string ReadFile(const std::string& name) const;

  // True when something of any kind (a dangling link too) is at `name`.
  bool Contains(const std::string& name) const;

  // The names of everything in the folder but "." and "..".
  std::vector<std::string> Names() const;

  // Renames `from` to `to` within the folder, replacing what is at `to` (a link
  // itself, never what it points at); what failed, if it did.
  std::optional<OsFailure> Rename(const std::string& from, const std::string& to) const;

  // Moves `name` into the folder `to` as `newName`, where nothing may be yet; what
  // failed, if it did.
  std::optional<OsFailure> MoveTo(const std::string& name, const OwnFolder& to, const std::string& newName) const;

  // Removes `name`: a folder with everything in it, or anything else (a link, never
  // what it points at). Nothing happens when it is not there; what cannot be removed
  // stays.
  void Remove(const std::string& name) const;

  // Removes everything in the folder, as Remove does each entry.
  void RemoveEverything() const;

  // Takes the folder's lock: at once, or false when another holds it (TryLock), or
  // waiting for it (Lock). The lock ends with Unlock or when the process ends.
  bool TryLock() const;
  void Lock() const;
  void Unlock() const;

  // The folder's path as it was reached, ending with '/': for messages only.
  const std::string& path() const { return path_; }

 private:
  class Descriptor;
  // MakeFolder and CreateFile that give nothing, with errno set, when they cannot.
  std::optional<OwnFolder> TryMakeFolder(const std::string& name) const;
  std::FILE* TryCreateFile(const std::string& name) const;

  OwnFolder(std::shared_ptr<const Descriptor> folder, std::string path);

  std::shared_ptr<const Descriptor> folder_;
  std::string path_;
};

// Cuts the file open as `file` (flushed) at `size` bytes; what failed, if it did.
std::optional<OsFailure> CutFile(std::FILE* file, std::uint64_t size);

}  // namespace kelvane
