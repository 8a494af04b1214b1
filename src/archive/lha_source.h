#pragma once

// An LHA archive file as it is shown to libarchive, which decodes it.
//
// libarchive 3.6 refuses two shapes of archive that other LHA programs write and read:
// - a level-1, -2 or -3 header whose MS-DOS attribute byte (offset 19) is not 0x20,
//   such as a read-only file (0x21), no attribute (0x00) or a folder (0x10): its
//   format check takes any other value for "not LHA", at every header;
// - an archive that ends right after its last entry, without the 0 byte that closes
//   an LHA archive: at the end of compressed data its decoder asks for one byte more
//   and takes the end of the file for a body cut short.
// The source shows such an archive as libarchive accepts it: that attribute byte as
// 0x20, and the closing 0 byte right after the last entry. Neither changes what is
// unpacked: libarchive reads the attribute byte only in that check (it takes file
// attributes from extended headers), and the end byte only tells it that no entry
// follows. Every byte libarchive decodes is the file's own.
//
// A header's check value covers the attribute byte: the byte sum of a level-1 header,
// the CRC-16 of a level-2 or -3 header. The value shown moves by exactly what the new
// attribute moves the value computed over the header (a sum by the difference; the
// CRC, which is linear, by the CRC of the difference), so a header that checked still
// checks, and a damaged one is refused as it would have been.
//
// Headers are found as libarchive finds them, each header's sizes giving the next
// one, a step ahead of what is read. Where a header cannot be walked (a damaged one,
// junk after the archive), the walk stops and the rest is shown as it is.

#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvane {

// True when `head` (the first bytes at a header's place) starts an LHA header: a size
// that is not 0 (0 ends an archive), a method id "-lh?-", "-lz?-" or "-pm?-" of any
// method, and a header level of 0 to 3 at byte 20.
bool IsLhaHeader(std::string_view head);

class LhaSource {
 public:
  // Opens the file at `path`; false when it cannot be read.
  bool Open(const std::string& path);

  // The next bytes as shown, in a buffer of the source's own that holds them until
  // the next call; no bytes at the end. False when the file cannot be read.
  bool Read(std::string_view& block);

  // Passes over at most `count` bytes of the file; how many it passed over.
  std::uint64_t Skip(std::uint64_t count);

 private:
  // One entry as its header describes it: its header and data, and the bytes shown
  // in place of the file's (offset, value).
  struct Entry {
    std::uint64_t size = 0;
    std::vector<std::pair<std::uint64_t, char>> shown;
  };

  void WalkHeadersBefore(std::uint64_t end);
  std::optional<Entry> EntryAt(std::uint64_t offset);
  std::optional<Entry> LongHeaderEntryAt(std::uint64_t offset, std::string_view head);
  std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t count);
  std::string ReadAt(std::uint64_t offset, std::size_t count);

  std::ifstream file_;
  std::uint64_t fileSize_ = 0;
  std::uint64_t position_ = 0;    // of the next byte shown
  std::uint64_t nextHeader_ = 0;  // where the walk goes on
  bool walking_ = true;
  bool endByteMissing_ = false;   // the last entry ends at the end of the file
  std::map<std::uint64_t, char> shown_;  // bytes shown in place of the file's
  std::string buffer_;
};

}  // namespace kelvane
