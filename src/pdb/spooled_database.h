#pragma once

// The writer of race databases (the file layout is palm_database.h's). Records are
// written out as they come, so that a run of any size holds one record at a time:
// each goes to a spool file as it is added, and only its size is kept; Write then
// puts the header and the record list (which need the count and the sizes) in front
// of the spooled records. Once the count is known ahead, room for them can be made
// in front of the records already spooled, so that those added after go straight to
// their place in the file; from then on the records are sent on to the disk in steps
// as they come, so that syncing the database once it is whole waits for little.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdb/palm_database.h"
#include "platform/file_replace.h"
#include "platform/own_folder.h"

namespace kelvane {

class SpooledDatabase {
 public:
  // A database with the header of `empty` (which holds no records), spooling its
  // records to a new file in `folder`, named `prefix` and a fresh ending, which goes
  // with the database (a spool of that prefix that a killed run left goes too).
  // Throws FileError naming `shownAs` (the spool itself when empty) when the spool
  // cannot be made, written or read back.
  SpooledDatabase(const PalmDatabase& empty, const OwnFolder& folder, std::string_view prefix,
                  std::string shownAs);
  ~SpooledDatabase();
  SpooledDatabase(const SpooledDatabase&) = delete;
  SpooledDatabase& operator=(const SpooledDatabase&) = delete;

  // Spools `record`. Returns false, adding nothing, when the header cannot count one
  // more; throws FileError when the spool cannot take it.
  bool AddRecord(const Bytes& record);

  std::size_t RecordCount() const { return sizes_.size(); }

  // Moves the records spooled so far in place so that they leave room in front of
  // them for the header and the record list of `count` records, how many the
  // database will hold once every record is added; the records added after follow
  // them. Making room again for another count moves them again, and a count that
  // turns out wrong is set right by PutInPlace: it costs a move, never a wrong file.
  // Throws FileError when the spool cannot be moved.
  void MakeRoomFor(std::size_t count);

  // Writes the database to the output `path` (WriteOutputFile: standard output, a
  // stream, or a file replaced whole). Throws FileError on failure, and WriteStopped
  // when `stop` says so while it writes.
  void Write(const std::string& path, const StopCheck& stop = {}) const;

  // Makes the spool itself the database file `path`, a file output in whose folder
  // the database spools: the header and the record list are put in front of the
  // records where they lie (PutFileInPlace), in the room made for them (MakeRoomFor,
  // called for the count there is), so the database never takes the room of two.
  // Throws as Write does; afterwards the database holds nothing more to write.
  void PutInPlace(const std::string& path, const StopCheck& stop = {});

 private:
  void WriteTo(ByteSink& out) const;
  // The header and the record list, up to the first record.
  Bytes Front() const;
  // How many bytes those take for `count` records.
  static std::uint64_t FrontSize(std::size_t count);

  // Throws what the spool call that just failed reported, as the spool's failure.
  [[noreturn]] void FailOnSpool() const;
  // Starts writing out to the disk the records added since it last did.
  void StartWriteOutOfRecords();

  std::array<std::uint8_t, kHeaderSize> header_;
  OwnFolder folder_;
  std::string spoolName_;
  std::string shownAs_;
  std::FILE* spool_ = nullptr;
  std::unique_ptr<char[]> spoolBuffer_;  // the spool's stdio buffer, freed after it closes
  std::uint64_t recordsAt_ = 0;  // where in the spool the records start
  std::uint64_t recordBytes_ = 0;  // what the records take, each with its pad byte
  bool roomMade_ = false;          // the records lie where the database has them
  std::uint64_t writtenOutTo_ = 0;  // the spool's bytes before this are being written out
  std::vector<std::uint32_t> sizes_;
};

}  // namespace kelvane
