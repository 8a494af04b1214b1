#include "bench/child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace kelvane::bench {
namespace {

// Linux reports ru_maxrss in KiB.
std::uint64_t MaxRssBytes(const rusage& usage) {
  return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
}

}  // namespace

ChildRun RunChild(const std::vector<std::string>& argv, const std::string& logPath) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return {};
  if (pid == 0) {
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
    }
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return {};
  ChildRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.peakRssBytes = MaxRssBytes(usage);
  return run;
}

std::uint64_t OwnPeakRssBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return MaxRssBytes(usage);
}

}  // namespace kelvane::bench
