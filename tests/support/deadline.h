#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace kelvane::test {

// Ends the test program, saying what hung, when the object is still alive `limit`
// after it was made: a test of something that can hang fails in seconds instead of
// waiting for the test runner's timeout.
class Deadline {
 public:
  Deadline(std::chrono::seconds limit, std::string what)
      : what_(std::move(what)), watch_([this, limit] {
          std::unique_lock lock(mutex_);
          if (!ended_.wait_for(lock, limit, [this] { return done_; })) {
            std::fprintf(stderr, "Failure: %s is still running after %lld s\n", what_.c_str(),
                         static_cast<long long>(limit.count()));
            std::_Exit(1);
          }
        }) {}
  ~Deadline() {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
    }
    ended_.notify_all();
    watch_.join();
  }
  Deadline(const Deadline&) = delete;
  Deadline& operator=(const Deadline&) = delete;

 private:
  std::string what_;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool done_ = false;
  std::thread watch_;  // last: starts once the rest is made
};

}  // namespace kelvane::test
