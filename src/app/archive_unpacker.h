#pragma once

// Unpacks a run's archives ahead of the one being read, on threads of their own, so
// that unpacking the next archives overlaps with reading the current one and building
// its records, and several archives unpack at once on a machine of several cores.
// Archives are handed over in list order, and no archive starts unpacking more than
// the threads plus one ahead of the one being read, so the working area holds a few
// archives' files at a time however long the list is. Messages of an archive are held
// and handed over with it, so that they are shown when its turn comes, in their
// order. What the machine fails while unpacking an archive (FileError, no memory) is
// handed over in that archive's place and ends the run there.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "archive/archive_extraction.h"
#include "messages/message.h"

namespace kelvane {

// How many archives may be unpacked or unpacking beyond the one being read, with
// `threads` threads unpacking: each thread one, and one more ready when a thread ends.
constexpr std::size_t UnpackAhead(std::size_t threads) { return threads + 1; }

// As many threads as the machine has cores, at least one.
std::size_t DefaultUnpackThreads();

class ArchiveUnpacker {
 public:
  struct Unpacked {
    std::optional<DataFiles> files;  // nothing when the archive failed
    std::vector<Message> messages;   // what extraction said, in order
  };

  // Starts unpacking archive i into a new folder folderNames[i] of `parent`, for every
  // i in order, on `threads` threads. A thread that cannot be started throws
  // std::bad_alloc: the system is out of what threads take.
  ArchiveUnpacker(const std::vector<std::string>& archives, const std::vector<std::string>& folderNames,
                  const OwnFolder& parent, std::size_t threads);
  // Stops unpacking and waits for the threads.
  ~ArchiveUnpacker();
  ArchiveUnpacker(const ArchiveUnpacker&) = delete;
  ArchiveUnpacker& operator=(const ArchiveUnpacker&) = delete;

  // Archive `index`, once unpacked; calls must come in list order. Rethrows what
  // unpacking it threw (the machine's failures).
  Unpacked Take(std::size_t index);

 private:
  struct Slot {
    std::optional<Unpacked> unpacked;
    std::exception_ptr failure;
    bool ready() const { return unpacked.has_value() || failure != nullptr; }
  };

  void UnpackInTurn();
  std::optional<std::size_t> NextToUnpack();
  void Unpack(std::size_t index);
  void Stop();

  const std::vector<std::string>& archives_;
  const std::vector<std::string>& folderNames_;
  const OwnFolder& parent_;
  const std::size_t ahead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;
  std::size_t next_ = 0;   // the next archive to start unpacking
  std::size_t taken_ = 0;  // archives handed over so far
  bool stopping_ = false;
  std::vector<std::thread> threads_;  // last: start once everything above is made
};

}  // namespace kelvane
