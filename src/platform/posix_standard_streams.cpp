#include "platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kelvane {

void EnsureStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is this one: the ones below it are open.
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    if (opened != fd && opened >= 0) close(opened);
  }
}

std::optional<OsFailure> CloseStandardOutput() {
  const bool failedBefore = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fclose(stdout) != 0) return errno != 0 ? OsFailure::Last() : OsFailure::Unknown();
  if (failedBefore) return OsFailure::Unknown();
  return std::nullopt;
}

}  // namespace kelvane
