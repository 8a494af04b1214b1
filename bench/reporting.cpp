#include "bench/reporting.h"

#include <cstdio>
#include <filesystem>
#include <thread>

#include "bench/platform.h"

namespace kelvane::bench {

double MiB(std::uint64_t bytes) { return static_cast<double>(bytes) / kMiB; }

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

int InFreshFolder(const std::string& program, const std::string& dir, const std::string& files,
                  bool keep, const std::function<int(const std::string& folder)>& measure) {
  namespace fs = std::filesystem;
  const std::string folder =
      MakeFreshFolder(dir.empty() ? fs::temp_directory_path().string() : dir, program);
  if (folder.empty()) {
    std::fprintf(stderr, "%s: cannot make a folder for the %s\n", program.c_str(), files.c_str());
    return 1;
  }
  std::printf("machine: %u hardware threads, %s; %s in %s\n", std::thread::hardware_concurrency(),
              CpuModel().c_str(), files.c_str(), folder.c_str());
  const int status = measure(folder);
  if (!keep) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  return status;
}

}  // namespace kelvane::bench
