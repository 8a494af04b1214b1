#include "pdb/spooled_database.h"

#include <cstdio>
#include <tuple>

#include "pdb/big_endian.h"
#include "platform/file_error.h"

namespace kelvane {
namespace {

constexpr std::uint8_t kZeros[kGapAfterEntries] = {};

// Records that lie where the database has them are sent on to the disk in steps of
// this many bytes as they are added, so that the sync of the database, once it is
// whole, waits for the last step only.
constexpr std::uint64_t kWriteOutStep = std::uint64_t{2} << 20;

// A race's record is some 14 KiB: with stdio's buffer of a page, each one took two
// writes, some 4,000 in a season, where this buffer takes about a hundred.
constexpr std::size_t kSpoolBufferSize = 256 * 1024;

}  // namespace

SpooledDatabase::SpooledDatabase(const PalmDatabase& empty, const OwnFolder& folder, std::string_view prefix,
                                 std::string shownAs)
    : header_(empty.Header()), folder_(folder), shownAs_(std::move(shownAs)) {
  try {
    std::tie(spool_, spoolName_) = folder_.CreateLockedFile(prefix);
  } catch (const FileError& error) {
    if (shownAs_.empty()) throw;
    error.failure().Throw(shownAs_);
  }
  if (shownAs_.empty()) shownAs_ = folder_.path() + spoolName_;
  // stdio takes the size asked for only with a buffer given.
  spoolBuffer_ = std::make_unique_for_overwrite<char[]>(kSpoolBufferSize);
  std::setvbuf(spool_, spoolBuffer_.get(), _IOFBF, kSpoolBufferSize);
}

SpooledDatabase::~SpooledDatabase() {
  std::fclose(spool_);
  if (!spoolName_.empty()) folder_.Remove(spoolName_);
}

void SpooledDatabase::FailOnSpool() const { OsFailure::Last().Throw(shownAs_); }

bool SpooledDatabase::AddRecord(const Bytes& record) {
  if (sizes_.size() >= kMaxRecords) return false;
  // Each record is followed by one zero byte, as the file has it.
  if (std::fwrite(record.data(), 1, record.size(), spool_) != record.size() ||
      std::fputc(0, spool_) == EOF) {
    FailOnSpool();
  }
  sizes_.push_back(static_cast<std::uint32_t>(record.size()));
  recordBytes_ += record.size() + kPadAfterRecord;
  if (roomMade_ && recordsAt_ + recordBytes_ - writtenOutTo_ >= kWriteOutStep) StartWriteOutOfRecords();
  return true;
}

void SpooledDatabase::StartWriteOutOfRecords() {
  const std::uint64_t end = recordsAt_ + recordBytes_;
  if (!StartWriteOut(spool_, writtenOutTo_, end)) FailOnSpool();
  writtenOutTo_ = end;
}

void SpooledDatabase::Write(const std::string& path, const StopCheck& stop) const {
  if (std::fflush(spool_) != 0) FailOnSpool();
  WriteOutputFile(path, [this](ByteSink& out) { WriteTo(out); }, stop);
}

void SpooledDatabase::MakeRoomFor(std::size_t count) {
  const std::uint64_t room = FrontSize(count);
  if (room == recordsAt_) return;
  if (!MoveFileBytes(spool_, recordsAt_, room)) FailOnSpool();
  recordsAt_ = room;
  roomMade_ = true;
  writtenOutTo_ = 0;  // the records moved are all to be written out anew
  StartWriteOutOfRecords();
}

void SpooledDatabase::PutInPlace(const std::string& path, const StopCheck& stop) {
  MakeRoomFor(sizes_.size());
  const Bytes front = Front();
  PutFileInPlace(spool_, folder_, spoolName_, front, path, stop);
  spoolName_.clear();  // the spool is the database now, no longer the spool's to remove
}

Bytes SpooledDatabase::Front() const {
  Bytes front(header_.begin(), header_.end());
  PutBigEndian(front.data() + kNumRecordsAt, 2, sizes_.size());
  auto offset = static_cast<std::uint32_t>(FrontSize(sizes_.size()));
  for (const std::uint32_t size : sizes_) {
    std::array<std::uint8_t, kRecordEntrySize> entry{};  // attributes 0, unique ID 0
    PutBigEndian(entry.data(), 4, offset);
    front.insert(front.end(), entry.begin(), entry.end());
    offset += size + static_cast<std::uint32_t>(kPadAfterRecord);
  }
  front.insert(front.end(), std::begin(kZeros), std::end(kZeros));
  return front;
}

std::uint64_t SpooledDatabase::FrontSize(std::size_t count) {
  return kHeaderSize + kRecordEntrySize * count + kGapAfterEntries;
}

void SpooledDatabase::WriteTo(ByteSink& out) const {
  const Bytes front = Front();
  out.Append(front.data(), front.size());
  if (!out.AppendFile(spool_, recordsAt_)) FailOnSpool();
}

}  // namespace kelvane
