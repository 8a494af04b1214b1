#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kelvane {

// Takes the bytes of a file in order, piece by piece, so that a file can be written
// as it is produced instead of being built whole first.
class ByteSink {
 public:
  virtual void Append(const std::uint8_t* data, std::size_t size) = 0;

  // Appends every byte of `file` from offset `from` on. False when `file` cannot be
  // read; a failed write is the sink's to tell, as with Append. A sink may copy the
  // bytes more cheaply than through a buffer of its own.
  virtual bool AppendFile(std::FILE* file, std::uint64_t from) {
    if (std::fseek(file, static_cast<long>(from), SEEK_SET) != 0) return false;
    std::array<std::uint8_t, 64 * 1024> block;
    while (const std::size_t got = std::fread(block.data(), 1, block.size(), file)) Append(block.data(), got);
    return std::ferror(file) == 0;
  }

 protected:
  ~ByteSink() = default;
};

}  // namespace kelvane
