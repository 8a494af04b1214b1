#pragma once

// The Palm OS record database that the handheld viewer opens.
//
// File layout, every number big-endian:
//   78-byte header: name[32] (NUL-padded), attributes u16, version u16,
//     creationDate u32, modificationDate u32, lastBackupDate u32 (Palm seconds:
//     seconds since 1904-01-01 00:00:00 local time), modificationNumber u32,
//     appInfoID u32, sortInfoID u32, type[4], creator[4], uniqueIDSeed[4],
//     nextRecordListID[4], numRecords u16;
//   one 8-byte entry per record: localChunkID u32 (file offset of the record),
//     attributes u8, uniqueID[3];
//   two zero bytes;
//   the records in order, each followed by one 0x00 byte that is not part of it.
// So the first record starts at 78 + 8 * N + 2, and each next one at the previous
// start plus its length plus one. An empty database is 80 bytes.
//
// PalmDatabase is the header, kept in file byte order: setters store big-endian
// bytes, getters read them back, and the writer (SpooledDatabase) copies them as they
// are, with the record count and the record entries, which it makes when the file is
// written from each record's place among the records.

#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

inline constexpr std::size_t kHeaderSize = 78;
inline constexpr std::size_t kRecordEntrySize = 8;
inline constexpr std::size_t kMaxRecords = 0xFFFF;

// Header field offsets.
inline constexpr std::size_t kNameAt = 0;
inline constexpr std::size_t kNameWidth = 32;
inline constexpr std::size_t kAttributesAt = 32;
inline constexpr std::size_t kVersionAt = 34;
inline constexpr std::size_t kCreationDateAt = 36;
inline constexpr std::size_t kModificationDateAt = 40;
inline constexpr std::size_t kBackupDateAt = 44;
inline constexpr std::size_t kModificationNumberAt = 48;
inline constexpr std::size_t kAppInfoIdAt = 52;
inline constexpr std::size_t kSortInfoIdAt = 56;
inline constexpr std::size_t kTypeAt = 60;
inline constexpr std::size_t kCreatorAt = 64;
inline constexpr std::size_t kUniqueIdSeedAt = 68;
inline constexpr std::size_t kNextRecordListIdAt = 72;
inline constexpr std::size_t kNumRecordsAt = 76;

// Two zero bytes stand between the record entries and the first record.
inline constexpr std::size_t kGapAfterEntries = 2;
// Write puts one zero byte after every record.
inline constexpr std::size_t kPadAfterRecord = 1;

// The race database's identity, as the handheld viewer looks for it.
inline constexpr std::string_view kDatabaseName = "tzQm_DB";
inline constexpr std::string_view kDatabaseType = "Data";
inline constexpr std::string_view kDatabaseCreator = "tzQm";

using Bytes = std::vector<std::uint8_t>;

class PalmDatabase {
 public:
  // The race database: name "tzQm_DB", version 2, type "Data", creator "tzQm",
  // its three dates set to `palmTime`, no records.
  static PalmDatabase CreateDefault(std::uint32_t palmTime);

  void SetName(std::string_view name);
  void SetAttributes(std::uint16_t attributes);
  // The version is a big-endian u16: its low-order byte is stored at byte 35, its
  // high-order byte at byte 34.
  void SetVersion(std::uint8_t lowOrderByte, std::uint8_t highOrderByte);
  void SetCreationDate(std::uint32_t palmTime);
  void SetModificationDate(std::uint32_t palmTime);
  void SetBackupDate(std::uint32_t palmTime);
  void SetModificationNumber(std::uint32_t number);
  void SetAppInfoID(std::uint32_t id);
  void SetSortInfoID(std::uint32_t id);
  void SetType(std::string_view fourBytes);
  void SetCreator(std::string_view fourBytes);
  void SetUniqueIDSeed(std::string_view fourBytes);
  void SetNextRecordListID(std::string_view fourBytes);
  void SetNumRecords(std::uint16_t count);

  std::uint16_t GetNumRecords() const;

  const std::array<std::uint8_t, kHeaderSize>& Header() const { return header_; }

 private:
  void PutU16(std::size_t offset, std::uint16_t value);
  void PutU32(std::size_t offset, std::uint32_t value);
  void PutRaw(std::size_t offset, std::string_view bytes, std::size_t width);
  std::uint16_t GetU16(std::size_t offset) const;

  std::array<std::uint8_t, kHeaderSize> header_{};
};

// The local time `now` in Palm seconds (since 1904-01-01 00:00:00 local time),
// truncated to 32 bits.
std::uint32_t CurrentPalmTime(std::time_t now);

}  // namespace kelvane
