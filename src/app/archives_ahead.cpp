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
    Slot slot;
    try {
      slot.archive = Prepare(*index);
    } catch (...) {
      slot.failure = std::current_exception();
    }
    {
      const std::lock_guard lock(mutex_);
      slots_[*index] = std::move(slot);
    }
    changed_.notify_all();
  }
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
  if (!files) return archive;
  auto reading = std::make_unique<ArchiveReading>(*files, alarm_);
  ReadAhead(*reading, archive.races);
  if (!reading->AtEnd()) archive.rest = std::move(reading);
  return archive;
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

ArchivesAhead::Archive ArchivesAhead::Take(std::size_t index) {
  std::unique_lock lock(mutex_);
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
