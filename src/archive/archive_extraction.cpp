#include "archive/archive_extraction.h"

#include <filesystem>
#include <string_view>
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

std::string NotAnArchiveMessage(const std::string& fileName) {
  const std::string_view text = kNotAnArchiveText;
  const auto at = text.find("%s");
  return std::string(text.substr(0, at)) + fileName + std::string(text.substr(at + 2));
}

}  // namespace

bool ExtractArchive(const std::string& archivePath, const std::string& workingFolder, Race& holder,
                    MessageSink& messages) {
  if (!IsLhaArchive(archivePath)) {
    messages.ShowMessage(NotAnArchiveMessage(PathFileName(archivePath)));
    return false;
  }

  // Failures to make folders or delete files show only through what follows.
  std::error_code ignored;
  std::filesystem::create_directories(workingFolder, ignored);
  for (const char* name : kStaleFileNames) std::filesystem::remove(workingFolder + name, ignored);

  if (UnpackLhaArchive(archivePath, workingFolder) != UnpackStatus::kUnpacked) {
    messages.ShowMessage(kUnpackFailedText);
    return false;
  }

  holder.cardPath = workingFolder + kRaceCardName;
  holder.horseFilePath = workingFolder + kHorseRegisterName;
  if (!FileExists(holder.cardPath)) {
    messages.ShowMessage(kNoRaceCardText);
    return false;
  }
  if (!FileExists(holder.horseFilePath)) {
    messages.ShowMessage(kNoHorseRegisterText);
    return false;
  }
  return true;
}

}  // namespace kelvane
