#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

#include "platform/byte_sink.h"
#include "platform/own_folder.h"

namespace kelvane {

// Asked whether to give up: true once the person asked the run to stop.
using StopCheck = std::function<bool()>;

// Thrown by a write that gave up because it was asked to stop: nothing is left of
// the output it was writing, and an existing file is as it was.
struct WriteStopped {};

// Replaces the file at `path` atomically with the bytes that `writeContents` appends
// to the sink it is given: they go to a temporary file in the same folder, written
// as they come through a small buffer, and that file is renamed over the target once
// every byte is on disk. On failure the temporary file is removed, an existing target
// is left as it was, and a FileError with the cause and `path` is thrown. `stop` is
// asked at every buffer written.
void ReplaceFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents,
                 const StopCheck& stop = {});

// Writes the bytes that `writeContents` appends to the output named `path`: "-" is
// standard output; an existing FIFO or character device is written into as it is,
// never replaced; any other path is a file replaced atomically as ReplaceFile does,
// and where `path` is a symbolic link the file it points at is replaced and the link
// stays. A failure throws a FileError with the cause and `path` (standard output is
// named so). A FIFO with no reader, a pipe no one reads, a slow device: the write
// waits for them, asking `stop` several times a second, and throws WriteStopped when
// it says so.
void WriteOutputFile(const std::string& path, const std::function<void(ByteSink&)>& writeContents,
                     const StopCheck& stop = {});

// Moves the bytes of `file` from offset `from` to its end so that they start at `to`,
// in place, and leaves the file ending after them, its position at that end: what
// is written next follows them. The bytes before `to` that were not written over
// stay as they were, or read as zeros past the old end. False, with errno telling
// why, on failure; the bytes may then be mixed up.
bool MoveFileBytes(std::FILE* file, std::uint64_t from, std::uint64_t to);

// Flushes `file` and starts sending its bytes from offset `from` to `to` on to the
// disk, without waiting for them, so that syncing the file later waits for less.
// False, with errno telling why, when the flush fails; the start itself is a hint
// that a file system may not take.
bool StartWriteOut(std::FILE* file, std::uint64_t from, std::uint64_t to);

// Makes `file`, open on `name` in `folder`, the file at `path`, a file output (see
// WriteOutputFile) whose folder `folder` is: `head` is written over the first bytes of
// `file`, the room left for it in front of the rest (see MoveFileBytes), and the file
// is then given the target's mode, synced and renamed over the target. `stop` is
// asked once the file is whole, before it takes the target's place. A failure throws
// a FileError with the cause and `path`, a stop WriteStopped; the target is then as
// it was, and the file, its bytes mixed up, is left to its owner to remove.
void PutFileInPlace(std::FILE* file, const OwnFolder& folder, const std::string& name,
                    std::span<const std::uint8_t> head, const std::string& path, const StopCheck& stop = {});

// How standard output is named in messages.
inline constexpr const char* kStandardOutputName = "standard output";

}  // namespace kelvane
