#include "archive/archive_extraction.h"

#include <filesystem>
#include <iterator>
#include <string_view>
#include <vector>
#include <system_error>

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

// Data files an earlier run may have left in the working folder, deleted before
// unpacking so that none of them is taken for this archive's.
constexpr const char* kStaleFileNames[] = {"JracKisi.dat", "JracChok.dat", kRaceCardName,
                                           kHorseRegisterName};

// Deletes what an earlier run may have left under the data files' names, in any
// letter case. A link among them is deleted itself, never followed.
void DeleteStaleFiles(const std::string& workingFolder) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(workingFolder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    for (const char* stale : kStaleFileNames) {
      std::error_code ignored;
      if (EqualIgnoringAsciiCase(name, stale)) std::filesystem::remove(it->path(), ignored);
    }
  }
}

}  // namespace

std::optional<DataFiles> ExtractArchive(const std::string& archivePath,
                                        const std::string& workingFolder, MessageSink& messages) {
  if (!IsLhaArchive(archivePath)) {
    messages.ShowMessage({WithValue(kNotAnArchiveText, "%s", PathFileName(archivePath))});
    return std::nullopt;
  }

  // Failures to make the folder or delete files show only through what follows.
  std::error_code ignored;
  std::filesystem::create_directories(workingFolder, ignored);
  DeleteStaleFiles(workingFolder);

  // The data files are stored as "JRACDEN1.DAT" by some tools: each lands under its
  // usual name, whatever the case it was stored in.
  const std::vector<std::string> usualNames(std::begin(kStaleFileNames), std::end(kStaleFileNames));
  if (UnpackLhaArchive(archivePath, workingFolder, usualNames) != UnpackStatus::kUnpacked) {
    messages.ShowMessage({kUnpackFailedText});
    return std::nullopt;
  }

  DataFiles files{workingFolder + kRaceCardName, workingFolder + kHorseRegisterName};
  if (!FileExists(files.cardPath)) {
    messages.ShowMessage({kNoRaceCardText});
    return std::nullopt;
  }
  if (!FileExists(files.horseFilePath)) {
    messages.ShowMessage({kNoHorseRegisterText});
    return std::nullopt;
  }
  return files;
}

}  // namespace kelvane
