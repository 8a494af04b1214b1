#include "archive/lha_source.h"

#include <algorithm>

namespace kelvane {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::size_t kLevelAt = 20;
constexpr std::size_t kAttributeAt = 19;
constexpr unsigned char kAcceptedAttribute = 0x20;
constexpr std::size_t kShortestHeader = kLevelAt + 1;
// Level 3 has the longest fixed part: up to its total header size.
constexpr std::size_t kLongestFixedPart = 28;
// Longer headers (a level-3 size field can claim gigabytes) are not walked.
constexpr std::uint64_t kLongestHeaderWalked = 64 * 1024;
constexpr char kHeaderCrcType = 0x00;
constexpr char kSixtyFourBitSizesType = 0x42;

unsigned char ByteAt(std::string_view bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

std::uint64_t LittleEndian(std::string_view bytes, std::size_t at, int width) {
  std::uint64_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | ByteAt(bytes, at + i);
  return value;
}

// CRC-16 as LHA computes it (polynomial 0xA001, reflected, starting at 0).
std::uint16_t Crc16Step(std::uint16_t crc, unsigned char byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  return crc;
}

// What showing the attribute as 0x20 adds to the CRC of a header of `span` bytes: the
// CRC of the change alone, the CRC being linear (a start of 0, no final step).
std::uint16_t CrcOfAttributeChange(unsigned char attribute, std::size_t span) {
  std::uint16_t crc = Crc16Step(0, attribute ^ kAcceptedAttribute);
  for (std::size_t at = kAttributeAt + 1; at < span; ++at) crc = Crc16Step(crc, 0);
  return crc;
}

}  // namespace

bool IsLhaHeader(std::string_view head) {
  if (head.size() < kShortestHeader) return false;
  const std::string_view method = head.substr(2, 5);
  const std::string_view family = method.substr(1, 2);
  return head[0] != '\0' && method[0] == '-' && method[4] == '-' &&
         (family == "lh" || family == "lz" || family == "pm") && ByteAt(head, kLevelAt) <= 3;
}

bool LhaSource::Open(const std::string& path) {
  file_.open(path, std::ios::binary);
  if (!file_.seekg(0, std::ios::end)) return false;
  fileSize_ = static_cast<std::uint64_t>(file_.tellg());
  buffer_.resize(kBlockSize);
  return true;
}

bool LhaSource::Read(std::string_view& block) {
  WalkHeadersBefore(position_ + kBlockSize);
  shown_.erase(shown_.begin(), shown_.lower_bound(position_));
  if (position_ >= fileSize_) {
    const bool showEndByte = position_ == fileSize_ && endByteMissing_;
    block = showEndByte ? std::string_view("", 1) : std::string_view();
    position_ += block.size();
    return true;
  }
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, fileSize_ - position_));
  const std::size_t got = ReadAt(position_, buffer_.data(), wanted);
  if (got == 0) return false;  // the file is shorter than it was, or failed
  for (auto it = shown_.begin(); it != shown_.end() && it->first < position_ + got; ++it) {
    buffer_[it->first - position_] = it->second;
  }
  block = std::string_view(buffer_.data(), got);
  position_ += got;
  return true;
}

std::uint64_t LhaSource::Skip(std::uint64_t count) {
  const std::uint64_t skipped = std::min(count, fileSize_ - std::min(position_, fileSize_));
  position_ += skipped;
  return skipped;
}

void LhaSource::WalkHeadersBefore(std::uint64_t end) {
  while (walking_ && nextHeader_ < end) {
    if (nextHeader_ == fileSize_) {
      endByteMissing_ = true;
      walking_ = false;
      break;
    }
    const auto entry = EntryAt(nextHeader_);
    if (!entry) {
      walking_ = false;
      break;
    }
    for (const auto& [offset, value] : entry->shown) shown_[offset] = value;
    // An entry that runs past the end of the file is cut short, and libarchive finds
    // that as it reads it; no header follows.
    walking_ = entry->size <= fileSize_ - nextHeader_;
    nextHeader_ += entry->size;
  }
}

std::optional<LhaSource::Entry> LhaSource::EntryAt(std::uint64_t offset) {
  const std::string head = ReadAt(offset, kLongestFixedPart);
  if (!IsLhaHeader(head)) return std::nullopt;
  const unsigned char level = ByteAt(head, kLevelAt);
  if (level >= 2) return LongHeaderEntryAt(offset, head);
  // Levels 0 and 1: the header's size less 2, then its byte sum; the packed size
  // counts level 1's extended headers too.
  Entry entry{ByteAt(head, 0) + 2u + LittleEndian(head, 7, 4), {}};
  const unsigned char attribute = ByteAt(head, kAttributeAt);
  if (level == 1 && attribute != kAcceptedAttribute) {
    const auto sum = static_cast<char>(ByteAt(head, 1) + kAcceptedAttribute - attribute);
    entry.shown = {{offset + 1, sum}, {offset + kAttributeAt, static_cast<char>(kAcceptedAttribute)}};
  }
  return entry;
}

// Levels 2 and 3: the fixed part, then extended headers [size][type][data] up to a
// size of 0, with sizes of 2 bytes (level 2) or 4 (level 3); read as libarchive reads
// them, which takes a header CRC (type 0x00) and 64-bit sizes (type 0x42) from them.
std::optional<LhaSource::Entry> LhaSource::LongHeaderEntryAt(std::uint64_t offset, std::string_view head) {
  const bool level2 = ByteAt(head, kLevelAt) == 2;
  const int sizeWidth = level2 ? 2 : 4;
  const std::size_t fixedPart = level2 ? 24 : 28;
  if (head.size() < fixedPart || (!level2 && LittleEndian(head, 0, 2) != 4)) return std::nullopt;
  const std::uint64_t headerSize = level2 ? LittleEndian(head, 0, 2) : LittleEndian(head, 24, 4);
  if (headerSize < fixedPart + sizeWidth || headerSize > kLongestHeaderWalked) return std::nullopt;
  const std::string header = ReadAt(offset, static_cast<std::size_t>(headerSize));
  if (header.size() != headerSize) return std::nullopt;

  std::uint64_t dataSize = LittleEndian(header, 7, 4);
  std::optional<std::size_t> crcAt;
  bool crcWithoutValue = false;
  std::size_t at = fixedPart;
  for (std::uint64_t size; (size = LittleEndian(header, at, sizeWidth)) != 0; at += size) {
    if (size <= static_cast<std::uint64_t>(sizeWidth) || at + size + sizeWidth > headerSize) return std::nullopt;
    const std::size_t dataAt = at + sizeWidth + 1;
    const std::uint64_t dataLength = size - sizeWidth - 1;
    if (header[at + sizeWidth] == kHeaderCrcType) {
      crcAt = dataAt;
      crcWithoutValue = crcWithoutValue || dataLength < 2;
    } else if (header[at + sizeWidth] == kSixtyFourBitSizesType && dataLength == 16) {
      dataSize = LittleEndian(header, dataAt, 8);
    }
  }
  at += sizeWidth;
  // Level 2 pads its header up to its size; level 3 ends with the list.
  const std::size_t headerRead = level2 ? static_cast<std::size_t>(headerSize) : at;
  if (dataSize > UINT64_MAX - headerRead) return std::nullopt;
  Entry entry{headerRead + dataSize, {}};

  const unsigned char attribute = ByteAt(header, kAttributeAt);
  if (attribute != kAcceptedAttribute && crcAt && !crcWithoutValue) {
    const auto crc = static_cast<std::uint16_t>(LittleEndian(header, *crcAt, 2) ^
                                                CrcOfAttributeChange(attribute, headerRead));
    entry.shown = {{offset + kAttributeAt, static_cast<char>(kAcceptedAttribute)},
                   {offset + *crcAt, static_cast<char>(crc & 0xFF)},
                   {offset + *crcAt + 1, static_cast<char>(crc >> 8)}};
  }
  return entry;
}

std::size_t LhaSource::ReadAt(std::uint64_t offset, char* out, std::size_t count) {
  file_.clear();
  if (!file_.seekg(static_cast<std::streamoff>(offset))) return 0;
  file_.read(out, static_cast<std::streamsize>(count));
  return static_cast<std::size_t>(file_.gcount());
}

std::string LhaSource::ReadAt(std::uint64_t offset, std::size_t count) {
  std::string bytes(count, '\0');
  bytes.resize(ReadAt(offset, bytes.data(), count));
  return bytes;
}

}  // namespace kelvane
