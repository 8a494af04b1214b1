#pragma once

// The archives of a run ahead of the one it is adding to the database: unpacked, and
// their races read and built into records, on threads of their own, so that several
// archives are worked on at once while the run adds the records of one. Archives are
// handed over in list order, and no archive is started more than the threads plus
// one ahead of the one handed over last, so the working area holds a few archives'
// files at a time however long the list is. What an archive's extraction, reading
// and building show is held and handed over with it, so that it is shown when its
// turn comes, in its order, race by race. An archive's records are built ahead up to
// a budget (more than a full day's); the races after that are handed
// over unread, for the run to read as it adds them, so that memory stays bounded
// whatever an archive holds. What the machine fails (FileError, no memory) is handed
// over in the archive's place and ends the run there. The run's thread, while it waits
// for an archive, counts the readable races of the archives from it on, each from its
// race card unpacked into memory alone (an archive worked on to its end is counted by
// what it built), so that the run learns early how many races it will add.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/archive_reading.h"
#include "archive/spare_files.h"
#include "messages/message.h"
#include "pdb/palm_database.h"
#include "platform/own_folder.h"

namespace kelvane {

// How many archives may be started beyond the one handed over last, with `threads`
// threads: each thread one, and one more ready when a thread ends.
constexpr std::size_t UnpackAhead(std::size_t threads) { return threads + 1; }

// The most bytes of records built ahead for one archive.
inline constexpr std::size_t kRecordBytesBuiltAhead = std::size_t{1} << 20;

// As many threads as the machine has cores, at least one.
std::size_t DefaultUnpackThreads();

// One race as it was read ahead: what reading and building it showed, and its record
// when it read.
struct RaceAhead {
  std::vector<Message> messages;
  std::optional<Bytes> record;
};

// How many of `races` read, their records built.
std::size_t RacesBuilt(const std::vector<RaceAhead>& races);

class ArchivesAhead {
 public:
  struct Archive {
    std::vector<Message> messages;  // what extraction showed, in order
    std::vector<RaceAhead> races;   // the races read ahead, in card order
    // The races not read ahead, when the budget ran out; nothing when every race
    // was, or the archive did not unpack.
    std::unique_ptr<ArchiveReading> rest;
  };

  // Starts unpacking archive i into a new folder folderNames[i] of `parent`, over
  // `spares` while there are any, and building its races' records (`alarm` sets
  // their start alarm byte), for every i in order, on `threads` threads. A thread
  // that cannot be started throws std::bad_alloc: the system is out of what threads
  // take.
  ArchivesAhead(const std::vector<std::string>& archives, const std::vector<std::string>& folderNames,
                const OwnFolder& parent, SpareFiles& spares, bool alarm, std::size_t threads);
  // Stops the threads, each at its next race, and waits for them.
  ~ArchivesAhead();
  ArchivesAhead(const ArchivesAhead&) = delete;
  ArchivesAhead& operator=(const ArchivesAhead&) = delete;

  // Archive `index`, once it is ready; calls must come in list order. Rethrows what
  // working on it threw (the machine's failures). With `whenCounted`, counts the
  // archives from `index` on while it waits, and as soon as all of them are counted
  // tells `whenCounted` how many races they hold that read, on the calling thread:
  // once in a run, at the first call that finds them counted.
  Archive Take(std::size_t index, const std::function<void(std::size_t)>& whenCounted = {});

 private:
  struct Slot {
    std::optional<Archive> archive;
    std::exception_ptr failure;
    std::optional<std::size_t> readableRaces;  // once counted, by its card or by what it built
    bool ready() const { return archive.has_value() || failure != nullptr; }
  };

  void WorkInTurn();
  std::optional<std::size_t> NextToStart();
  Archive Prepare(std::size_t index);
  void ReadAhead(ArchiveReading& reading, std::vector<RaceAhead>& races) const;
  void Count(std::size_t index, std::size_t readableRaces);
  std::optional<std::size_t> FirstUncountedFrom(std::size_t index) const;
  std::size_t RacesCountedFrom(std::size_t index) const;
  void CountAhead(std::unique_lock<std::mutex>& lock, std::size_t index);
  void Stop();

  const std::vector<std::string>& archives_;
  const std::vector<std::string>& folderNames_;
  const OwnFolder& parent_;
  SpareFiles& spares_;
  const bool alarm_;
  const std::size_t ahead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;
  std::size_t next_ = 0;   // the next archive to start
  std::size_t taken_ = 0;  // archives handed over so far
  bool countTold_ = false;
  std::atomic<bool> stopping_ = false;  // set under mutex_, so that waiters see it
  std::vector<std::thread> threads_;    // last: start once everything above is made
};

}  // namespace kelvane
