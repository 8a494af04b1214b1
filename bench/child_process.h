#pragma once

// Runs a program as a child process and reports what it cost: wall-clock time and
// the child's own peak resident memory. POSIX only (fork, exec, wait4).

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::bench {

struct ChildRun {
  int exitCode = -1;          // -1 when it could not be started or did not exit normally
  double seconds = 0;         // wall-clock, from start to exit
  std::uint64_t peakRssBytes = 0;  // the child's maximum resident set size
};

// Runs `argv[0]` with `argv`, its standard output and error sent to `logPath`.
ChildRun RunChild(const std::vector<std::string>& argv, const std::string& logPath);

// The peak resident set size of this process so far.
std::uint64_t OwnPeakRssBytes();

}  // namespace kelvane::bench
