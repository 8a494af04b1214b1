#include "archive/archive_extraction.h"

#include <iterator>
#include <vector>

#include "archive/lha_library.h"
#include "archive/path_helpers.h"

namespace kelvane {
namespace {

constexpr const char* kNotAnArchiveText = "ファイル '%s' は書庫ではありません";
constexpr const char* kUnpackFailedText = "ファイルを解凍できませんでした";
constexpr const char* kNoRaceCardText =
    "このファイルには出馬表データがありません\r\n"
    "出馬表データが含まれている圧縮ファイルをダウンロードしてください";
constexpr const char* kNoHorseRegisterText =
    "このファイルには競走馬データがありません\r\n"
    "競走馬データが含まれている圧縮ファイルをダウンロードしてください";

// The data files under their usual names: a file stored under one of them in another
// letter case is unpacked under it.
constexpr const char* kUsualNames[] = {"JracKisi.dat", "JracChok.dat", kRaceCardName, kHorseRegisterName};

}  // namespace

std::optional<DataFiles> ExtractArchive(const std::string& archivePath, const OwnFolder& parent,
                                        const std::string& folderName, MessageSink& messages) {
  if (!IsLhaArchive(archivePath)) {
    messages.ShowMessage({WithValue(kNotAnArchiveText, "%s", EscapedName(PathFileName(archivePath)))});
    return std::nullopt;
  }

  // Made fresh, so no file from before can be taken for this archive's.
  const OwnFolder workingFolder = parent.MakeFolder(folderName);

  // The data files are stored as "JRACDEN1.DAT" by some tools: each lands under its
  // usual name, whatever the case it was stored in.
  const std::vector<std::string> usualNames(std::begin(kUsualNames), std::end(kUsualNames));
  if (UnpackLhaArchive(archivePath, workingFolder, usualNames) != UnpackStatus::kUnpacked) {
    messages.ShowMessage({kUnpackFailedText});
    return std::nullopt;
  }

  if (!workingFolder.Contains(kRaceCardName)) {
    messages.ShowMessage({kNoRaceCardText});
    return std::nullopt;
  }
  if (!workingFolder.Contains(kHorseRegisterName)) {
    messages.ShowMessage({kNoHorseRegisterText});
    return std::nullopt;
  }
  return DataFiles{workingFolder, workingFolder.path() + kRaceCardName,
                   workingFolder.path() + kHorseRegisterName};
}

}  // namespace kelvane
