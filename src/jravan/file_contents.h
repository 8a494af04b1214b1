#pragma once

#include <optional>
#include <string>

namespace kelvane {

// Every byte of the regular file at `path` (a UTF-8 path), or nothing when it cannot
// be opened or read, or is something else (a folder, a FIFO).
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace kelvane
