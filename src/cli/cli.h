#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kelvane {

// Exit statuses of the `kelvane` command.
enum ExitStatus : int {
  kExitOk = 0,            // written, nothing to report
  kExitWithMessages = 1,  // written, but messages were shown
  kExitRefused = 1,       // dump: the file is not a race database, or not readable
  kExitUsage = 2,         // the command line was wrong
  kExitNotWritten = 3,    // the output could not be written
};

// Runs the `kelvane` command with `args` (without the program name). Messages go to
// `err` in UTF-8, help and results to `out`. `convert` notes SIGINT, SIGTERM and SIGHUP
// from its start on, ends cleanly when one comes, and returns 128 + its number.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Closes the process's standard output once the command `args` ran and returned
// `status`. A write or close that failed is told on `err` and the status becomes a
// failure: 3 for convert (whose output it may have been), else 1.
int FinishStandardOutput(const std::vector<std::string>& args, int status, std::ostream& err);

}  // namespace kelvane
