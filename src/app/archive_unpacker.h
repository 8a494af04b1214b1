#pragma once

// Unpacks a run's archives ahead of the one being read, on a thread of its own, so
// that unpacking the next archive overlaps with reading the current one and building
// its records. It keeps to list order and never runs more than kUnpackAhead archives
// ahead, so the working area holds a few archives' files at a time however long the
// list is. Messages of an archive are held and handed over with it, so that they
// are shown when its turn comes, in their order. What the machine fails while
// unpacking (FileError, no memory) is handed over in the archive's place and ends
// the run there.

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

inline constexpr std::size_t kUnpackAhead = 2;

class ArchiveUnpacker {
 public:
  struct Unpacked {
    std::optional<DataFiles> files;  // nothing when the archive failed
    std::vector<Message> messages;   // what extraction said, in order
  };

  // Starts unpacking archive i into a new folder folderNames[i] of `parent`, for every
  // i in order. A thread that cannot be started throws std::bad_alloc: the system is
  // out of what threads take.
  ArchiveUnpacker(const std::vector<std::string>& archives, const std::vector<std::string>& folderNames,
                  const OwnFolder& parent);
  // Stops unpacking and waits for the thread.
  ~ArchiveUnpacker();
  ArchiveUnpacker(const ArchiveUnpacker&) = delete;
  ArchiveUnpacker& operator=(const ArchiveUnpacker&) = delete;

  // Archive `index`, once unpacked; calls must come in list order. Rethrows what the
  // unpacking thread threw for it (the machine's failures).
  Unpacked Take(std::size_t index);

 private:
  void UnpackAll();

  const std::vector<std::string>& archives_;
  const std::vector<std::string>& folderNames_;
  const OwnFolder& parent_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::optional<Unpacked>> done_;
  std::size_t taken_ = 0;  // archives handed over so far
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread thread_;  // last: starts once everything above is made
};

}  // namespace kelvane
