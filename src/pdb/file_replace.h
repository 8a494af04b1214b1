#pragma once

#include <string>

#include "pdb/palm_database.h"

namespace kelvane {

// Replaces the file at `path` with `bytes` atomically: writes a temporary file in the
// same folder and renames it over the target once every byte is on disk. On failure
// the temporary file is removed, an existing target is left as it was, and a
// FileError with the cause and `path` is thrown.
void ReplaceFile(const std::string& path, const Bytes& bytes);

}  // namespace kelvane
