#pragma once

// The least any conversion of a set of archives must do: unpack every file of every
// archive with libarchive, into memory, and nothing else.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::bench {

// Unpacks every entry of each archive into one reused buffer; returns the number of
// bytes unpacked, or nothing (0 with `error` set) when an archive cannot be read.
std::uint64_t DecompressAll(const std::vector<std::string>& archivePaths, std::string& error);

}  // namespace kelvane::bench
