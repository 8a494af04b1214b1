#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_error.h"

namespace kelvane {

// Why `path` cannot be opened for reading as a file (a folder cannot); nothing when
// it can.
std::optional<OsFailure> ErrorReadingFile(const std::string& path);

// True when `a` and `b` are one and the same file (device and inode), whatever their
// spelling, through hard and symbolic links alike.
bool SameFile(const std::string& a, const std::string& b);

// What makes a file the one it is, whatever its spelling: its device and inode.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

// The identity of the file at `path`, through links; nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// Where the output named `path` is written, by kind.
enum class OutputKind {
  kStandardOutput,  // "-"
  kStream,          // an existing FIFO or character device, written into as it is
  kFile,            // a regular file, new or replaced whole
};
OutputKind KindOfOutput(const std::string& path);

// The file a regular-file output ends up as: `path` itself, or the file a symbolic
// link at `path` points at (through every link), so that the link stays a link.
std::string OutputFileTarget(const std::string& path);

// The folder that file is in ("." for a bare name).
std::string FolderOfOutputFile(const std::string& path);

// Why the output file `path` could not be made: its target is a folder, or the
// folder of its target is missing, not a folder or takes no new files; nothing when
// it can be made.
std::optional<OsFailure> OutputFolderError(const std::string& path);

}  // namespace kelvane
