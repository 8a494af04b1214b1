#include "support/in_memory_database.h"

#include <utility>

#include "pdb/big_endian.h"
#include "pdb/record_assembly.h"

namespace kelvane::test {

bool InMemoryDatabase::AddRecord(Bytes record) {
  if (records_.size() >= kMaxRecords) return false;
  records_.push_back(std::move(record));
  header_.SetNumRecords(static_cast<std::uint16_t>(records_.size()));
  return true;
}

std::uint32_t InMemoryDatabase::RecordOffset(std::size_t i) const {
  std::size_t offset = kHeaderSize + kRecordEntrySize * records_.size() + kGapAfterEntries;
  for (std::size_t j = 0; j < i; ++j) offset += records_[j].size() + kPadAfterRecord;
  return static_cast<std::uint32_t>(offset);
}

Bytes InMemoryDatabase::Serialize() const {
  Bytes file(header_.Header().begin(), header_.Header().end());
  for (std::size_t i = 0; i < records_.size(); ++i) {
    std::uint8_t entry[kRecordEntrySize] = {};  // attributes 0, unique ID 0
    PutBigEndian(entry, 4, RecordOffset(i));
    file.insert(file.end(), entry, entry + kRecordEntrySize);
  }
  file.resize(file.size() + kGapAfterEntries);
  for (const Bytes& record : records_) {
    file.insert(file.end(), record.begin(), record.end());
    file.resize(file.size() + kPadAfterRecord);
  }
  return file;
}

bool AssembleRecords(InMemoryDatabase& db, const std::vector<Race>& races, bool alarm, MessageSink& messages) {
  RecordAssembler assembler;
  for (const Race& race : races) {
    Bytes record;
    assembler.Build(race, alarm, messages, record);
    if (!db.AddRecord(std::move(record))) return false;
  }
  return true;
}

}  // namespace kelvane::test
