#pragma once

#include <string>
#include <vector>

#include "app/env.h"
#include "pdb/file_error.h"

namespace kelvane {

struct ConversionRequest {
  std::vector<std::string> archives;  // in list order
  bool alarm = true;
  std::string outputPath;
  std::string baseFolder;  // the working folders live under <baseFolder>/JRA-VAN/
};

struct ConversionOutcome {
  bool written = false;  // the database file was written whole
  int racesWritten = 0;
};

// One conversion: unpacks every archive, reads its races, assembles one record per
// race, writes the database, hands it to the shell and removes the working files.
// Failures are shown through `env`, each text once per run; a failed write skips the
// shell and the clean-up. More races than a database counts (65,535) are refused as
// soon as an archive's race card shows them, without reading the archives after it.
ConversionOutcome RunConversion(const ConversionRequest& request, Env& env);

// The working folder of every listed archive: <base>/JRA-VAN/<stem>/. A later entry
// whose folder an earlier entry already takes gets one of its own ("<stem>~2/", ...),
// so that each archive's races keep reading that archive's horse register. A stem of
// "", "." or ".." (an archive named "...lzh") becomes "_", "_." or "_..", so that
// no archive unpacks into the JRA-VAN root or above it.
std::vector<std::string> WorkingFolders(const std::string& baseFolder,
                                        const std::vector<std::string>& archives);

// The text shown for a file error, with the path in it.
std::string FileErrorText(const FileError& error);

// Where the working folders go: `programFolder` when a "JRA-VAN" folder can be made
// in it, otherwise the per-user cache folder ($XDG_CACHE_HOME/kelvane/ or
// ~/.cache/kelvane/). The result ends with '/'.
std::string ChooseBaseFolder(const std::string& programFolder);

}  // namespace kelvane
