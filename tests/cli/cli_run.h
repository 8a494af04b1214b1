#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace kelvane::test {

// What one in-process `kelvane` run returned and printed.
struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun RunKelvane(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace kelvane::test
