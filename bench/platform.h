#pragma once

// What the benchmark needs from the operating system, Linux only: running a program
// as a child process with what it cost, this process's own memory, a fresh folder,
// the CPU's name.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::bench {

struct ChildRun {
  int exitCode = -1;               // -1: not started, or did not exit normally
  double seconds = 0;              // wall-clock, from start to exit
  double cpuSeconds = 0;           // the child's user and system time
  std::uint64_t peakRssBytes = 0;  // the child's maximum resident set size
};

// Runs `argv[0]` with `argv`, its standard output and error sent to `logPath`.
//
// The child starts as a copy of this process, and the kernel counts that copy's
// resident pages in the child's peak. So this process gives its free memory back
// first, and the peak reported is never below OwnResidentBytes().
ChildRun RunChild(const std::vector<std::string>& argv, const std::string& logPath);

// The resident set size of this process now, after giving free memory back.
std::uint64_t OwnResidentBytes();

// The most this process has had resident since it started (its own program, after
// exec: not what the parent had).
std::uint64_t OwnPeakResidentBytes();

// A new folder `prefix`-XXXXXX in `parent`, its path ending in '/'; empty on failure.
std::string MakeFreshFolder(const std::string& parent, const std::string& prefix);

// The bytes of the regular files under `folder` now, what vanishes meanwhile aside.
// Each file counts once however often it is met: one moved from one folder to
// another while they are walked is not counted twice.
std::uint64_t BytesUnder(const std::string& folder);

// The CPU's model name, as /proc/cpuinfo gives it; "unknown CPU" without one.
std::string CpuModel();

}  // namespace kelvane::bench
