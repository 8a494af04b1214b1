#pragma once

// A race database held whole in memory, laid out as the file has it: what the tests
// build databases from, and the model the spooled writer is checked against.

#include <cstdint>
#include <vector>

#include "jravan/race.h"
#include "messages/message.h"
#include "pdb/palm_database.h"

namespace kelvane::test {

class InMemoryDatabase {
 public:
  explicit InMemoryDatabase(std::uint32_t palmTime = 0) : header_(PalmDatabase::CreateDefault(palmTime)) {}

  PalmDatabase& header() { return header_; }
  const PalmDatabase& header() const { return header_; }

  // Appends `record`; false, adding nothing, when the header cannot count one more.
  bool AddRecord(Bytes record);

  std::size_t RecordCount() const { return records_.size(); }
  const Bytes& Record(std::size_t i) const { return records_[i]; }
  // Where record `i` starts in the file, as it stands now.
  std::uint32_t RecordOffset(std::size_t i) const;

  // The whole file.
  Bytes Serialize() const;

 private:
  PalmDatabase header_;
  std::vector<Bytes> records_;
};

// Adds one record per race to `db`, in list order, each built as RecordAssembler
// builds it; false, adding no further record, once the database counts no more.
bool AssembleRecords(InMemoryDatabase& db, const std::vector<Race>& races, bool alarm, MessageSink& messages);

}  // namespace kelvane::test
