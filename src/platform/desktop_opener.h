#pragma once

#include <string>

namespace kelvane {

// Opens `path` with the desktop's default program for its type (xdg-open) and waits
// for the opener to return; what it does is not looked at.
void OpenWithDesktop(const std::string& path);

}  // namespace kelvane
