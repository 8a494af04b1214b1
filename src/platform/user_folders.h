#pragma once

#include <optional>
#include <string>

namespace kelvane {

// The program's folder in the user's cache: $XDG_CACHE_HOME/kelvane/ (an absolute
// XDG_CACHE_HOME) or $HOME/.cache/kelvane/, ending with '/'; nothing when there is no
// HOME.
std::optional<std::string> UserCacheFolder();

// A folder made fresh for this process under TMPDIR (or /tmp), mode 0700, with a
// name no other process can take; ends with '/'. Throws FileError when none can be
// made.
std::string MakeFreshTempFolder();

// The folder of the running program file, ending with '/'; empty when unknown.
std::string ProgramFolder();

}  // namespace kelvane
