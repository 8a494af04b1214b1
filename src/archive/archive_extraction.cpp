#include "archive/archive_extraction.h"

#include <iterator>
#include <vector>

#include "archive/lha_library.h"
#include "archive/path_helpers.h"
#include "messages/texts.h"

namespace kelvane {
namespace {

// The data files under their usual names: a file stored under one of them in another
// letter case is unpacked under it.
constexpr const char* kUsualNames[] = {"JracKisi.dat", "JracChok.dat", kRaceCardName, kHorseRegisterName};

}  // namespace

std::optional<DataFiles> ExtractArchive(const std::string& archivePath, const OwnFolder& parent,
                                        const std::string& folderName, MessageSink& messages,
                                        SpareFiles* spares) {
  if (!IsLhaArchive(archivePath)) {
    messages.ShowMessage({WithValue(texts::kNotAnArchive, "%s", EscapedName(PathFileName(archivePath)))});
    return std::nullopt;
  }

  // Made fresh, or a spare one emptied, so no file from before can be taken for this
  // archive's.
  const OwnFolder workingFolder =
      spares != nullptr ? spares->MakeFolder(parent, folderName) : parent.MakeFolder(folderName);

  // The data files are stored as "JRACDEN1.DAT" by some tools: each lands under its
  // usual name, whatever the case it was stored in.
  const std::vector<std::string> usualNames(std::begin(kUsualNames), std::end(kUsualNames));
  if (UnpackLhaArchive(archivePath, workingFolder, usualNames, spares) != UnpackStatus::kUnpacked) {
    messages.ShowMessage({texts::kUnpackFailed});
    return std::nullopt;
  }

  if (!workingFolder.Contains(kRaceCardName)) {
    messages.ShowMessage({texts::kNoRaceCard});
    return std::nullopt;
  }
  if (!workingFolder.Contains(kHorseRegisterName)) {
    messages.ShowMessage({texts::kNoHorseRegister});
    return std::nullopt;
  }
  return DataFiles{workingFolder, workingFolder.path() + kRaceCardName,
                   workingFolder.path() + kHorseRegisterName};
}

}  // namespace kelvane
