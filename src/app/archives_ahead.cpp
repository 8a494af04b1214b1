#include "app/archives_ahead.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

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
      threadCount_(threads),
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
  // The last archives, worked on side by side, end the run: their races are counted
  // as soon as the card is unpacked, the rest of the archive still to come.
  const bool countedFirst = index + threadCount_ >= archives_.size();
  std::function<void(const OwnFolder&)> countCard;
  if (countedFirst) {
    countCard = [&](const OwnFolder& folder) { Count(index, ReadableRacesOfCard(folder, kMaxRecords)); };
  }
  const auto files = ExtractArchive(archives_[index], parent_, folderNames_[index], extraction, &spares_, countCard);
  archive.messages = std::move(extraction.held);
  if (!files) {
    Count(index, 0);
    return archive;
  }
  auto reading = std::make_unique<ArchiveReading>(*files, alarm_);
  ReadAhead(*reading, archive.races);
  if (!reading->AtEnd()) {
    archive.rest = std::move(reading);
  } else if (!countedFirst) {
    Count(index, RacesBuilt(archive.races));
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

// How many races archive `index` and those after it hold that read, once every one
// of them is counted.
std::optional<std::size_t> ArchivesAhead::RacesCountedFrom(std::size_t index) const {
  if (next_ < archives_.size()) return std::nullopt;  // not every archive is started yet
  std::size_t races = 0;
  for (std::size_t i = index; i < slots_.size(); ++i) {
    if (!slots_[i].readableRaces) return std::nullopt;
    races += *slots_[i].readableRaces;
  }
  return races;
}

// Reads races of `reading` into `races` until every race is read, their records fill
// the budget, or the threads stop.
void ArchivesAhead::ReadAhead(ArchiveReading& reading, std::vector<RaceAhead>& races) const {
  std::size_t recordBytes = 0;
  Bytes record;
  while (!reading.AtEnd() && recordBytes < kRecordBytesBuiltAhead && !stopping_) {
    HeldMessages messages;
    RaceAhead& race = races.emplace_back();
    if (reading.ReadNext(messages, record)) {
      recordBytes += record.size();
      race.record = record;
    }
    race.messages = std::move(messages.held);
  }
}

ArchivesAhead::Archive ArchivesAhead::Take(std::size_t index, const std::function<void(std::size_t)>& whenCounted) {
  std::unique_lock lock(mutex_);
  const auto counted = [&] { return whenCounted && !countTold_ ? RacesCountedFrom(index) : std::nullopt; };
  changed_.wait(lock, [&] { return slots_[index].ready() || counted(); });
  if (const auto races = counted()) {
    countTold_ = true;
    lock.unlock();
    whenCounted(*races);
    lock.lock();
    changed_.wait(lock, [&] { return slots_[index].ready(); });
  }
  if (slots_[index].failure) std::rethrow_exception(slots_[index].failure);
  Archive archive = std::move(*slots_[index].archive);
  slots_[index] = Slot();
  taken_ = index + 1;
  lock.unlock();
  changed_.notify_all();
  return archive;
}

}  // namespace kelvane
