#include "app/archive_unpacker.h"

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

// std::thread tells a thread that cannot be started (EAGAIN) as std::system_error.
std::thread StartThread(ArchiveUnpacker* unpacker, void (ArchiveUnpacker::*run)()) {
  try {
    return std::thread(run, unpacker);
  } catch (const std::system_error&) {
    throw std::bad_alloc();
  }
}

}  // namespace

ArchiveUnpacker::ArchiveUnpacker(const std::vector<std::string>& archives,
                                 const std::vector<std::string>& folderNames, const OwnFolder& parent)
    : archives_(archives),
      folderNames_(folderNames),
      parent_(parent),
      done_(archives.size()),
      thread_(StartThread(this, &ArchiveUnpacker::UnpackAll)) {}

ArchiveUnpacker::~ArchiveUnpacker() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ArchiveUnpacker::UnpackAll() {
  try {
    for (std::size_t i = 0; i < archives_.size(); ++i) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || i < taken_ + kUnpackAhead; });
        if (stopping_) return;
      }
      HeldMessages messages;
      Unpacked unpacked{ExtractArchive(archives_[i], parent_, folderNames_[i], messages), {}};
      unpacked.messages = std::move(messages.held);
      {
        const std::lock_guard lock(mutex_);
        done_[i] = std::move(unpacked);
      }
      changed_.notify_all();
    }
  } catch (...) {
    {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
    }
    changed_.notify_all();
  }
}

ArchiveUnpacker::Unpacked ArchiveUnpacker::Take(std::size_t index) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return done_[index].has_value() || failure_ != nullptr; });
  if (!done_[index]) std::rethrow_exception(failure_);
  Unpacked unpacked = std::move(*done_[index]);
  done_[index].reset();
  taken_ = index + 1;
  lock.unlock();
  changed_.notify_all();
  return unpacked;
}

}  // namespace kelvane
