#pragma once

#include <functional>
#include <string>

#include "platform/byte_sink.h"

namespace kelvane {

// Replaces the file at `path` atomically with the bytes that `writeContents` appends
// to the sink it is given: they go to a temporary file in the same folder, written
// as they come through a small buffer, and that file is renamed over the target once
// every byte is on disk. On failure the temporary file is removed, an existing target
// is left as it was, and a FileError with the cause and `path` is thrown.
void ReplaceFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents);

// Writes the bytes that `writeContents` appends to the output named `path`: "-" is
// standard output; an existing FIFO or character device is written into as it is,
// never replaced; any other path is a file replaced atomically as ReplaceFile does,
// and where `path` is a symbolic link the file it points at is replaced and the link
// stays. A failure throws a FileError with the cause and `path`.
void WriteOutputFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents);

}  // namespace kelvane
