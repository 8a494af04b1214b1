#include "app/archive_unpacker.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace kelvane {
namespace {

// Holds what extraction shows, to be shown later on the run's own thread.
class HeldMessages : public MessageSink {
 public:
  void ShowMessage(const Message& message) override { held.push_back(message); }
  std::vector<Message> held;
};

}  // namespace

std::size_t DefaultUnpackThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

ArchiveUnpacker::ArchiveUnpacker(const std::vector<std::string>& archives,
                                 const std::vector<std::string>& folderNames, const OwnFolder& parent,
                                 std::size_t threads)
    : archives_(archives),
      folderNames_(folderNames),
      parent_(parent),
      ahead_(UnpackAhead(threads)),
      slots_(archives.size()) {
  try {
    for (std::size_t t = 0; t < std::min(threads, archives.size()); ++t) {
      threads_.emplace_back([this] { UnpackInTurn(); });
    }
  } catch (const std::system_error&) {
    // std::thread tells a thread that cannot be started (EAGAIN) so.
    Stop();
    throw std::bad_alloc();
  }
}

ArchiveUnpacker::~ArchiveUnpacker() { Stop(); }

void ArchiveUnpacker::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

void ArchiveUnpacker::UnpackInTurn() {
  while (const auto index = NextToUnpack()) Unpack(*index);
}

// The next archive in list order once it is no further ahead than allowed; nothing
// when every archive is taken or the unpacker stops.
std::optional<std::size_t> ArchiveUnpacker::NextToUnpack() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || next_ >= archives_.size() || next_ < taken_ + ahead_; });
  if (stopping_ || next_ >= archives_.size()) return std::nullopt;
  return next_++;
}

void ArchiveUnpacker::Unpack(std::size_t index) {
  Slot slot;
  try {
    HeldMessages messages;
    slot.unpacked = Unpacked{ExtractArchive(archives_[index], parent_, folderNames_[index], messages), {}};
    slot.unpacked->messages = std::move(messages.held);
  } catch (...) {
    slot.unpacked.reset();
    slot.failure = std::current_exception();
  }
  {
    const std::lock_guard lock(mutex_);
    slots_[index] = std::move(slot);
  }
  changed_.notify_all();
}

ArchiveUnpacker::Unpacked ArchiveUnpacker::Take(std::size_t index) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return slots_[index].ready(); });
  if (slots_[index].failure) std::rethrow_exception(slots_[index].failure);
  Unpacked unpacked = std::move(*slots_[index].unpacked);
  slots_[index] = Slot();
  taken_ = index + 1;
  lock.unlock();
  changed_.notify_all();
  return unpacked;
}

}  // namespace kelvane
