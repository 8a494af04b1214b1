#pragma once

#include <optional>
#include <string>

#include "messages/message.h"

namespace kelvane {

inline constexpr const char* kRaceCardName = "JracDen1.dat";
inline constexpr const char* kHorseRegisterName = "JracUmaj.dat";

// The two data files of an unpacked archive.
struct DataFiles {
  std::string cardPath;       // <working folder>/JracDen1.dat
  std::string horseFilePath;  // <working folder>/JracUmaj.dat
};

// Unpacks the JRA-VAN archive at `archivePath` into `workingFolder` (a path ending
// in '/', created when missing) and checks that the race card and the horse register
// are there, whatever the letter case of their stored names. Shows its message and
// returns nothing when the file is not an archive, cannot be unpacked, or lacks one
// of the two files.
std::optional<DataFiles> ExtractArchive(const std::string& archivePath,
                                        const std::string& workingFolder, MessageSink& messages);

}  // namespace kelvane
