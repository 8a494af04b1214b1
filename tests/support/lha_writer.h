#pragma once

// Writes LHA archives (.lzh) in memory, for tests, benchmarks, samples and fuzz seeds.
//
// An archive is a run of entries, each a header followed by the entry's data, closed by
// one 0 byte (which can be left off, as some programs do). Numbers are little-endian.
// Four header levels are written:
//
//   level 0: size-2 (1 byte), checksum (1), method (5), packed size (4), original size (4),
//            DOS time (4), attribute (1), level 0 (1), name length (1), name, data CRC (2),
//            and for links an extension 'U' with the mode.
//   level 1: as level 0 up to the data CRC, then OS id (1) and extended headers; the
//            packed size counts the extended headers too.
//   level 2: total header size (2), method, packed size, original size, Unix time (4),
//            attribute, level 2, data CRC, OS id, then extended headers, the first
//            being the CRC-16 of the whole header.
//   level 3: the width of the size fields, 4 (2), then as level 2 up to the OS id, the
//            total header size (4) and the extended headers with sizes of 4 bytes.
//
// The checksum of levels 0 and 1 is the byte sum of the header after its first two
// bytes. The attribute byte is MS-DOS's: 0x20 (archive) unless the entry says otherwise.
//
// An extended header is [size][type (1)][data], its size counting all three; a size
// of 0 ends the list. Types written: 0x00 header CRC, 0x01 file name, 0x02 directory
// (0xFF between parts), 0x42 64-bit packed and original sizes (only for a declared size
// past 32 bits, which needs level 2 or 3), 0x50 Unix mode. Levels 1 and 2 store the text before the last '/'
// of a name as the directory; level 0 stores the name as given. Links are stored LHA's
// way, as a -lhd- entry named "name|target" with a link mode.
//
// Data is stored (-lh0-) or compressed (-lh5-, -lh6-, -lh7-): LZSS over a sliding window
// of 8, 32 or 64 KiB with a greedy hash-chain matcher, then blocks of static Huffman
// codes (a pre-tree for the code lengths, the literal/length tree, the position tree).
// CRCs are CRC-16 (polynomial 0xA001, reflected, start 0). -lh1- and -pm2- are written
// as method ids only, the data following stored: archives in methods not decoded here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane::test {

// -lh0-, -lh5-, -lh6-, -lh7-, and the ids -lh1- and -pm2- over stored data.
enum class LhaMethod { kStored, kLh5, kLh6, kLh7, kLh1Id, kPm2Id };
enum class LhaKind { kFile, kDirectory, kSymlink };

struct LhaEntry {
  // Every member has a default, so `{.name = "a.txt", .data = "..."}` is an entry.
  std::string name{};  // stored bytes as they are: any separators, Shift-JIS or not
  std::string data{};  // a file's content
  LhaKind kind = LhaKind::kFile;
  std::string linkTarget{};                     // a link's target
  std::optional<std::uint64_t> declaredSize{};  // original size, when it should lie
  bool corruptCrc = false;                      // store a data CRC that does not match
  std::uint8_t attribute = 0x20;                // the header's MS-DOS attribute byte
};

enum class LhaEnd { kEndByte, kNoEndByte };  // whether the closing 0 byte is written

// A whole archive of `entries`, in order. Files use `method`; directories and links are
// -lhd- entries. `headerLevel` is 0 to 3.
std::string PackLha(const std::vector<LhaEntry>& entries, LhaMethod method = LhaMethod::kLh5,
                    int headerLevel = 2, LhaEnd end = LhaEnd::kEndByte);

// The compressed stream alone, as it follows a header.
std::string CompressLh(std::string_view data, LhaMethod method);

std::uint16_t LhaCrc16(std::string_view bytes);

}  // namespace kelvane::test
