#include "app/archives_ahead.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <system_error>
#include <utility>

#include "platform/file_error.h"

namespace kelvane {
namespace {

// Holds what is shown, to be shown later on the run's own thread.
class HeldMessages : public MessageSink {
 public:
  void ShowMessage(const Message& message) override { held.push_back(message); }
  std::vector<Message> held;
};

}  // namespace

std::size_t RacesBuilt(const std::vector<RaceAhead>& races) {
  return static_cast<std::size_t>(
      std::count_if(races.begin(), races.end(), [](const RaceAhead& race) { return race.record.has_value(); }));
}

std::size_t DefaultUnpackThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

ArchivesAhead::ArchivesAhead(const std::vector<std::string>& archives, const std::vector<std::string>& folderNames,
                             const OwnFolder& parent, SpareFiles& spares, bool alarm, std::size_t threads)
    : archives_(archives),
      folderNames_(folderNames),
      parent_(parent),
      spares_(spares),
      alarm_(alarm),
      ahead_(UnpackAhead(threads)),
      slots_(archives.size()) {
  try {
    for (std::size_t t = 0; t < std::min(threads, archives.size()); ++t) {
      threads_.emplace_back([this] { WorkInTurn(); });
    }
  } catch (const std::system_error&) {
    // std::thread tells a thread that cannot be started (EAGAIN) so.
    Stop();
    throw std::bad_alloc();
  }
}

ArchivesAhead::~ArchivesAhead() { Stop(); }

void ArchivesAhead::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void ArchivesAhead::WorkInTurn() {
  while (const auto index = NextToStart()) {
    std::optional<Archive> archive;
    std::exception_ptr failure;
    try {
      archive = Prepare(*index);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      slots_[*index].archive = std::move(archive);
      slots_[*index].failure = failure;
    }
    changed_.notify_all();
  }
  // No archive is left to start (or the threads stop): no file will be written over
  // a spare again, and their room goes back while the last archives are worked on.
  spares_.Discard();
}

// The next archive in list order once it is no further ahead than allowed; nothing
// when every archive is started or the threads stop.
std::optional<std::size_t> ArchivesAhead::NextToStart() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || next_ >= archives_.size() || next_ < taken_ + ahead_; });
  if (stopping_ || next_ >= archives_.size()) return std::nullopt;
  return next_++;
}

ArchivesAhead::Archive ArchivesAhead::Prepare(std::size_t index) {
  Archive archive;
  HeldMessages extraction;
  const auto files = ExtractArchive(archives_[index], parent_, folderNames_[index], extraction, &spares_);
  archive.messages = std::move(extraction.held);
  if (!files) {
    Count(index, 0);
    return archive;
  }
  auto reading = std::make_unique<ArchiveReading>(*files, alarm_);
  ReadAhead(*reading, archive.races);
  if (reading->AtEnd()) {
    Count(index, RacesBuilt(archive.races));
  } else {
    archive.rest = std::move(reading);
  }
  return archive;
}

void ArchivesAhead::Count(std::size_t index, std::size_t readableRaces) {
  {
    const std::lock_guard lock(mutex_);
    slots_[index].readableRaces = readableRaces;
  }
  changed_.notify_all();
}

// The first archive from `index` on that is not counted yet.
std::optional<std::size_t> ArchivesAhead::FirstUncountedFrom(std::size_t index) const {
  for (std::size_t i = index; i < slots_.size(); ++i) {
    if (!slots_[i].readableRaces) return i;
  }
  return std::nullopt;
}

// How many races archive `index` and those after it hold that read, every one of them
// counted.
std::size_t ArchivesAhead::RacesCountedFrom(std::size_t index) const {
  std::size_t races = 0;
  for (std::size_t i = index; i < slots_.size(); ++i) races += *slots_[i].readableRaces;
  return races;
}

// Counts the races of archive `index` from its race card alone, while the lock is
// not held. A count that cannot be made counts none: it only costs the run a move of
// its records at the end, and what failed is met again, and shown in its place, when
// the archive is worked on.
void ArchivesAhead::CountAhead(std::unique_lock<std::mutex>& lock, std::size_t index) {
  lock.unlock();
  std::size_t races = 0;
  try {
    races = ReadableRacesOfArchive(archives_[index], kMaxRecords);
  } catch (const FileError&) {
  } catch (const std::bad_alloc&) {
  }
  lock.lock();
  if (!slots_[index].readableRaces) slots_[index].readableRaces = races;
}

// Reads races of `reading` into `races` until every race is read, their records fill
// the budget, or the threads stop.
void ArchivesAhead::ReadAhead(ArchiveReading& reading, std::vector<RaceAhead>& races) const {
  std::size_t recordBytes = 0;
  while (!reading.AtEnd() && recordBytes < kRecordBytesBuiltAhead && !stopping_) {
    HeldMessages messages;
    RaceAhead& race = races.emplace_back();
    // Built where it is kept, not copied there.
    if (reading.ReadNext(messages, race.record.emplace())) {
      recordBytes += race.record->size();
    } else {
      race.record.reset();
    }
    race.messages = std::move(messages.held);
  }
}

ArchivesAhead::Archive ArchivesAhead::Take(std::size_t index, const std::function<void(std::size_t)>& whenCounted) {
  std::unique_lock lock(mutex_);
  // While the archive is not ready, the archives from it on are counted one by one on
  // this thread, which would only wait, until their races can be told.
  while (whenCounted && !countTold_) {
    if (const auto uncounted = FirstUncountedFrom(index)) {
      if (slots_[index].ready()) break;
      CountAhead(lock, *uncounted);
    } else {
      countTold_ = true;
      const std::size_t races = RacesCountedFrom(index);
      lock.unlock();
      whenCounted(races);
      lock.lock();
    }
  }
  changed_.wait(lock, [&] { return slots_[index].ready(); });
  if (slots_[index].failure) std::rethrow_exception(slots_[index].failure);
  Archive archive = std::move(*slots_[index].archive);
  slots_[index] = Slot();
  taken_ = index + 1;
  lock.unlock();
  changed_.notify_all();
  return archive;
}

}  // namespace kelvane
