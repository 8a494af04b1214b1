#include <iostream>
#include <new>

#include "cli/cli.h"
#include "platform/interruption.h"

int main(int argc, char** argv) {
  kelvane::IgnoreFileSizeSignal();
  try {
    return kelvane::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    std::cerr << "kelvane: out of memory\n";
    return kelvane::kExitNotWritten;
  }
}
