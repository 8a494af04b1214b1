#pragma once

// What the fuzz targets share: a message sink that only counts, and a check that stops
// the run with its reason, so that libFuzzer keeps the input that broke a promise of
// the code (not only the ones that crash it).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "messages/message.h"

namespace kelvane::fuzz {

class CountingSink : public MessageSink {
 public:
  void ShowMessage(const Message&) override { ++count; }
  int count = 0;
};

inline void Check(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

inline std::string AsString(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace kelvane::fuzz
