#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvane {

// Takes the bytes of a file in order, piece by piece, so that a file can be written
// as it is produced instead of being built whole first.
class ByteSink {
 public:
  virtual void Append(const std::uint8_t* data, std::size_t size) = 0;

 protected:
  ~ByteSink() = default;
};

}  // namespace kelvane
