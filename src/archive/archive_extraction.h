#pragma once

#include <optional>
#include <string>

#include "archive/spare_files.h"
#include "messages/message.h"
#include "platform/own_folder.h"

namespace kelvane {

inline constexpr const char* kRaceCardName = "JracDen1.dat";
inline constexpr const char* kHorseRegisterName = "JracUmaj.dat";

// The two data files of an unpacked archive, in the archive's working folder.
struct DataFiles {
  OwnFolder folder;           // the working folder, held open
  std::string cardPath;       // <working folder>/JracDen1.dat, as messages name it
  std::string horseFilePath;  // <working folder>/JracUmaj.dat, likewise
};

// Unpacks the JRA-VAN archive at `archivePath` into a new working folder
// `folderName` made in `parent`, and checks that the race card and the horse
// register are there, whatever the letter case of their stored names. Shows its
// message and returns nothing when the file is not an archive (nothing is made then),
// cannot be unpacked, or lacks one of the two files. What the machine fails (no
// space, too many open files, an I/O error, a folder that cannot be made) is not the
// archive's: it throws FileError naming the place, or std::bad_alloc. Files are
// written over `spares` while there are any.
std::optional<DataFiles> ExtractArchive(const std::string& archivePath, const OwnFolder& parent,
                                        const std::string& folderName, MessageSink& messages,
                                        SpareFiles* spares = nullptr);

}  // namespace kelvane
