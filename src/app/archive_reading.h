#pragma once

// The races of one unpacked archive, read from its race card and built into records
// one after another. The card and the horse register are read into memory when the
// reading is made, so the archive's files are no longer needed after that.

#include <cstddef>

#include "archive/archive_extraction.h"
#include "jravan/race.h"
#include "jravan/race_card.h"
#include "messages/message.h"
#include "pdb/palm_database.h"
#include "pdb/record_assembly.h"

namespace kelvane {

// How many races of the race card of the archive at `archivePath` read, counted up to
// `limit` + 1: for a card of full lines (RacesOfFullLines), from the size its header
// declares, one race a line; for any other, from the card unpacked into memory alone.
// 0 when the archive holds no card, or it does not unpack or is larger than any
// meeting day's. What reading them shows is not shown. What the machine fails throws
// (FileError, std::bad_alloc). The count is what the run makes its header's room
// for, so a card of full lines that do not all read costs a move, never a wrong file.
std::size_t ReadableRacesOfArchive(const std::string& archivePath, std::size_t limit);

class ArchiveReading {
 public:
  // Reads the card and the register of `files`; throws FileError when the machine
  // fails to. `alarm` sets the records' start alarm byte.
  ArchiveReading(const DataFiles& files, bool alarm);

  bool AtEnd() const { return next_ > card_.CountRaces(); }

  // How many of the races not yet read would read, counted up to `limit` + 1; what
  // reading them shows is not shown.
  std::size_t ReadableRacesLeft(std::size_t limit) const;

  // Reads the next race and, when it reads, builds its record into `record`; what
  // reading and building show goes to `messages`, placed at the race. False when the
  // race did not read.
  bool ReadNext(MessageSink& messages, Bytes& record);

 private:
  RaceCard card_;
  bool alarm_;
  RecordAssembler assembler_;
  int next_ = 1;  // the race to read next, from 1
  Race race_;     // each race is read into this one, made fresh, keeping its texts' room
};

}  // namespace kelvane
