#include <iostream>
#include <new>

#include "cli/cli.h"
#include "platform/interruption.h"
#include "platform/standard_streams.h"

int main(int argc, char** argv) {
  kelvane::EnsureStandardDescriptors();
  kelvane::IgnoreFileSizeSignal();
  const std::vector<std::string> args(argv + 1, argv + argc);
  int status = kelvane::kExitNotWritten;
  try {
    status = kelvane::RunCli(args, std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "kelvane: out of memory\n";
  }
  return kelvane::FinishStandardOutput(args, status, std::cerr);
}
