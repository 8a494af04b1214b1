#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/env.h"

namespace kelvane {

struct ConversionRequest {
  std::vector<std::string> archives;  // in list order, as listed or named
  bool alarm = true;
  std::string outputPath;  // "-" is standard output
  // The working area's base (see working_folders.h); empty for the default.
  std::string baseFolder;
  // How many archives unpack at once; 0: as many as the machine has cores.
  std::size_t unpackThreads = 0;
};

struct ConversionOutcome {
  bool written = false;  // the database was written whole
  int racesWritten = 0;
  bool stopped = false;  // asked to stop (Env::StopRequested) before it was written
};

// One conversion. Archive by archive, in list order: unpacks it into the run's own
// working folder, reads its races, builds their records and removes its files; then
// writes the database, hands it to the shell and removes the run's working folder.
// Every failure is shown through `env` with where it happened, as often as it
// happens. Nothing is unpacked when the output's folder cannot take the file. More
// races than a database counts (65,535), running out of memory, or a stop request
// end the run with no output written and an existing one untouched; the working
// folder goes whatever the outcome.
ConversionOutcome RunConversion(const ConversionRequest& request, Env& env);

}  // namespace kelvane
