#include <csignal>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // A file size limit then arrives as an EFBIG write error, not as a killed process.
  std::signal(SIGXFSZ, SIG_IGN);
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string programFolder = ec ? std::string() : exe.parent_path().string() + "/";
  return kelvane::RunCli(std::vector<std::string>(argv + 1, argv + argc), programFolder, std::cout,
                         std::cerr);
}
