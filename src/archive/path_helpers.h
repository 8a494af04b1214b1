#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// Path helpers on the platform's UTF-8 paths, where '/' separates folders. UTF-8 never
// uses the bytes of '/' or '.' inside a multi-byte character, so a byte scan is safe.
// None of the three touches the file system.

// The last component: the text after the last '/', the whole text when there is none,
// empty when the path ends with '/'.
std::string PathFileName(const std::string& path);

// The text up to and including the last '/'; empty when there is none.
std::string PathFolder(const std::string& path);

// The text without its last extension: cut at the last '.' of the last component,
// unless the component has no '.' or starts with it (".lzh" stays ".lzh"; "a.b.lzh"
// gives "a.b"; "abc." gives "abc").
std::string PathStem(const std::string& name);

// True when `a` and `b` are the same but for the letter case of ASCII letters, as
// file names compare on the file systems the archives were made for.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace kelvane
