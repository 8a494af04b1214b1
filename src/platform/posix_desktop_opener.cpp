#include <spawn.h>
#include <sys/wait.h>

#include "platform/desktop_opener.h"

extern char** environ;

namespace kelvane {

void OpenWithDesktop(const std::string& path) {
  const char* argv[] = {"xdg-open", path.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
}

}  // namespace kelvane
