#pragma once

#include <string>

namespace kelvane {

// Path helpers on the platform's UTF-8 paths. '/' separates folders.
std::string PathFileName(const std::string& path);  // after the last separator
std::string PathFolder(const std::string& path);    // up to and including it
std::string PathStem(const std::string& name);      // without the last extension
bool FileExists(const std::string& path);

}  // namespace kelvane
