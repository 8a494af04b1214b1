#pragma once

#include <string>

#include "jravan/message_sink.h"
#include "jravan/race.h"

namespace kelvane {

inline constexpr const char* kWorkingRootName = "JRA-VAN";
inline constexpr const char* kRaceCardName = "JracDen1.dat";
inline constexpr const char* kHorseRegisterName = "JracUmaj.dat";

// Unpacks the JRA-VAN archive at `archivePath` into `workingFolder` (a path ending
// in '/', created when missing together with its parent) and checks that the race
// card and the horse register are there. Sets the holder's `cardPath` and
// `horseFilePath` once the archive is unpacked. Shows its message and returns false
// when the file is not an archive, cannot be unpacked, or lacks one of the two files.
bool ExtractArchive(const std::string& archivePath, const std::string& workingFolder, Race& holder,
                    MessageSink& messages);

}  // namespace kelvane
