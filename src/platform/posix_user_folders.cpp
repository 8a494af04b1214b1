#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/posix_os_error.h"
#include "platform/user_folders.h"

namespace kelvane {

std::optional<std::string> UserCacheFolder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/') {
    return std::string(xdg) + "/kelvane/";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::string(home) + "/.cache/kelvane/";
  }
  return std::nullopt;
}

std::string MakeFreshTempFolder() {
  std::error_code ec;
  std::string folder = std::filesystem::temp_directory_path(ec).string();
  if (ec) folder = "/tmp";
  folder += "/kelvane-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) ThrowFileError(errno, folder);  // made with mode 0700
  return folder + "/";
}

std::string ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string() + "/";
}

}  // namespace kelvane
