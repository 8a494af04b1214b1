#pragma once

// What the benchmarks share around their measures: a fresh folder for their files, a
// line that says on what machine and where, and how figures are printed.

#include <cstdint>
#include <functional>
#include <string>

namespace kelvane::bench {

inline constexpr double kMiB = 1024.0 * 1024.0;

double MiB(std::uint64_t bytes);

// How a figure compares with its goal: "met" or "MISSED".
const char* Verdict(bool met);

// Makes a fresh folder `program`-XXXXXX under `dir` (the system's temporary folder
// when empty), prints the machine and where the `files` are, runs `measure` on the
// folder (its path ends in '/') and removes the folder unless `keep`. The result is
// measure's, or 1 when no folder could be made.
int InFreshFolder(const std::string& program, const std::string& dir, const std::string& files,
                  bool keep, const std::function<int(const std::string& folder)>& measure);

}  // namespace kelvane::bench
