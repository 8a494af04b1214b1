#pragma once

// Our LHA archive library (.lzh), read-only, over libarchive. It offers the calls the
// extraction needs: whether a file is an LHA archive, and unpacking every regular file
// of one flat into a folder; and, to look into an archive ahead, unpacking one file
// into memory.
//
// Unpacking is built for archives from anywhere:
// - only regular files are written, each under its base name (the text after the last
//   '/' or '\' of its stored name) directly in the target folder, so "../x", "/etc/x"
//   and "a\..\x" all land as "x" there; directories, links and devices are skipped and
//   never created, as are files whose base name is empty, "." or ".." (or the
//   temporary name below);
// - each file is written as ".kelvane-unpacking" in the folder and renamed over its
//   final name once complete, so a link or a hard link already there is replaced, never
//   followed, and a failed file leaves no partial file under its name;
// - the sizes the headers declare for the files to write may add up to at most
//   kMaxUnpackedBytes, checked on every header before anything is written, and a file
//   must unpack to exactly its declared size; an archive file more than a quarter
//   larger than that cap is refused unread;
// - archives as other LHA programs write them are read as those programs read them:
//   a header attribute other than 0x20 and a missing end-of-archive byte are taken as
//   they are (see lha_source.h);
// - a damaged header, a name that is not valid Shift-JIS, corrupt data, a CRC error or
//   a compression method libarchive does not decode (-lh1- to -lh4-, -lzs-, -lz5-,
//   -pm?-) fail the archive;
// - what the machine fails (the folder's disk full, a size limit, too many open files,
//   no memory, an I/O error reading the archive or writing a file) is not the
//   archive's failure: it throws FileError naming the place, or std::bad_alloc;
// - Shift-JIS (CP932) stored names become UTF-8 file names, whatever the locale.
// Later files with the same base name replace earlier ones.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/spare_files.h"
#include "platform/own_folder.h"

namespace kelvane {

inline constexpr std::uint64_t kMaxUnpackedBytes = std::uint64_t{1} << 30;  // 1 GiB

// True when `archivePath` is a regular, non-empty file that libarchive reads as an LHA
// archive, or whose first header is an LHA header of any method ("-lh?-", "-lz?-",
// "-pm?-"): one in a method libarchive does not know, such as -lhx- or -pm2-, is an
// archive too, just one that cannot be unpacked.
bool IsLhaArchive(const std::string& archivePath);

// Sets up, once for the process, what libarchive sets up at the first LHA header a
// process reads, and does without a lock: archives unpacked on several threads at
// once would otherwise check their first headers against a table half filled. Every
// call of this library does it first.
void ReadyLhaReading();

enum class UnpackStatus {
  kUnpacked = 0,  // every regular file is written
  kUnreadable,    // not readable as LHA, damaged, or a method that cannot be decoded
  kTooLarge,      // declared sizes past kMaxUnpackedBytes, or a huge archive file
  kSizeMismatch,  // a file's data is longer or shorter than its header says
  kWriteFailed,   // the folder refused a file's name
};

// Unpacks every regular file of the archive into `folder`, each written over one of
// `spares` while there is one. A file whose base name equals one of `usualNames` but
// for the case of ASCII letters is written under that usual name. Returns kUnpacked
// (0) only when all of them were written whole.
UnpackStatus UnpackLhaArchive(const std::string& archivePath, const OwnFolder& folder,
                              const std::vector<std::string>& usualNames = {}, SpareFiles* spares = nullptr);

// The bytes of the first file of the archive stored under `usualName` (ASCII letter
// case aside), unpacked into memory, and nothing unpacked after it; nothing when the
// archive holds no such file, its header says it is larger than `maxBytes`, or it
// does not unpack whole. What the machine fails throws, as it does for
// UnpackLhaArchive.
std::optional<std::string> UnpackLhaFile(const std::string& archivePath, const std::string& usualName,
                                         std::uint64_t maxBytes);

// The size the header of that same file declares, read from the headers alone:
// nothing is unpacked. Nothing when the archive holds no such file or its headers up
// to it do not read. What the machine fails throws.
std::optional<std::uint64_t> DeclaredLhaFileSize(const std::string& archivePath, const std::string& usualName);

}  // namespace kelvane
