#pragma once

#include <memory>

namespace kelvane {

// Makes the calling thread's character type (LC_CTYPE) UTF-8 while the object lives and
// puts back what the thread had before. Other threads and the process-wide locale are
// left alone. Archive readers convert stored Shift-JIS names into this character type,
// so names come out as UTF-8 whatever locale the user runs under. When no UTF-8 locale
// exists on the system, nothing changes.
class ScopedUtf8Locale {
 public:
  ScopedUtf8Locale();
  ~ScopedUtf8Locale();
  ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
  ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace kelvane
