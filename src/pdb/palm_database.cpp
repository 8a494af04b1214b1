#include "pdb/palm_database.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "pdb/big_endian.h"
#include "platform/local_time.h"

namespace kelvane {
namespace {

// The version 2, as the decimal texts of its two bytes: the low-order byte (byte 35
// of the file) and the high-order byte (byte 34).
constexpr std::string_view kVersionLowOrderByte = "2";
constexpr std::string_view kVersionHighOrderByte = "0";

constexpr std::string_view kFourZeroBytes{"\0\0\0\0", 4};

std::uint8_t DecimalByte(std::string_view digits) {
  return static_cast<std::uint8_t>(std::atoi(std::string(digits).c_str()));
}

}  // namespace

PalmDatabase PalmDatabase::CreateDefault(std::uint32_t palmTime) {
  PalmDatabase db;
  db.SetName(kDatabaseName);
  db.SetAttributes(0);
  db.SetVersion(DecimalByte(kVersionLowOrderByte), DecimalByte(kVersionHighOrderByte));
  db.SetCreationDate(palmTime);
  db.SetModificationDate(palmTime);
  db.SetBackupDate(palmTime);
  db.SetModificationNumber(0);
  db.SetAppInfoID(0);
  db.SetSortInfoID(0);
  db.SetType(kDatabaseType);
  db.SetCreator(kDatabaseCreator);
  db.SetUniqueIDSeed(kFourZeroBytes);
  db.SetNextRecordListID(kFourZeroBytes);
  db.SetNumRecords(0);
  return db;
}

void PalmDatabase::SetName(std::string_view name) {
  // A bounded copy: shorter names are zero-padded, longer ones cut without terminator.
  PutRaw(kNameAt, name.substr(0, std::min(name.size(), name.find('\0'))), kNameWidth);
}
void PalmDatabase::SetAttributes(std::uint16_t attributes) { PutU16(kAttributesAt, attributes); }
void PalmDatabase::SetVersion(std::uint8_t lowOrderByte, std::uint8_t highOrderByte) {
  header_[kVersionAt + 1] = lowOrderByte;
  header_[kVersionAt] = highOrderByte;
}
void PalmDatabase::SetCreationDate(std::uint32_t t) { PutU32(kCreationDateAt, t); }
void PalmDatabase::SetModificationDate(std::uint32_t t) { PutU32(kModificationDateAt, t); }
void PalmDatabase::SetBackupDate(std::uint32_t t) { PutU32(kBackupDateAt, t); }
void PalmDatabase::SetModificationNumber(std::uint32_t n) { PutU32(kModificationNumberAt, n); }
void PalmDatabase::SetAppInfoID(std::uint32_t id) { PutU32(kAppInfoIdAt, id); }
void PalmDatabase::SetSortInfoID(std::uint32_t id) { PutU32(kSortInfoIdAt, id); }
void PalmDatabase::SetType(std::string_view b) { PutRaw(kTypeAt, b.substr(0, 4), 4); }
void PalmDatabase::SetCreator(std::string_view b) { PutRaw(kCreatorAt, b.substr(0, 4), 4); }
void PalmDatabase::SetUniqueIDSeed(std::string_view b) { PutRaw(kUniqueIdSeedAt, b.substr(0, 4), 4); }
void PalmDatabase::SetNextRecordListID(std::string_view b) {
  PutRaw(kNextRecordListIdAt, b.substr(0, 4), 4);
}
void PalmDatabase::SetNumRecords(std::uint16_t count) { PutU16(kNumRecordsAt, count); }

std::uint16_t PalmDatabase::GetNumRecords() const { return GetU16(kNumRecordsAt); }

void PalmDatabase::PutU16(std::size_t offset, std::uint16_t value) {
  PutBigEndian(header_.data() + offset, 2, value);
}

void PalmDatabase::PutU32(std::size_t offset, std::uint32_t value) {
  PutBigEndian(header_.data() + offset, 4, value);
}

void PalmDatabase::PutRaw(std::size_t offset, std::string_view bytes, std::size_t width) {
  std::fill_n(header_.begin() + offset, width, 0);
  std::copy_n(bytes.begin(), std::min(bytes.size(), width), header_.begin() + offset);
}

std::uint16_t PalmDatabase::GetU16(std::size_t offset) const {
  return static_cast<std::uint16_t>(GetBigEndian(header_.data() + offset, 2));
}

namespace {

// Days from 1970-01-01 to the civil date y-m-d (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

std::uint32_t CurrentPalmTime(std::time_t now) {
  // Wall-clock arithmetic on the local date and time, as a calendar subtraction does.
  std::tm local{};
  if (!LocalTime(now, local)) return 0;
  const std::int64_t days = DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) -
                            DaysFromCivil(1904, 1, 1);
  const std::int64_t seconds = days * 86400 + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const double span = static_cast<double>(seconds) / 86400.0;
  const auto palm = static_cast<std::int64_t>(span * 86400.0 + 0.000005787037037037037);
  // A local time just outside what the header counts keeps to its nearest end.
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(palm, 0, 0xFFFFFFFF));
}

}  // namespace kelvane
