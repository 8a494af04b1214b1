#include "app/conversion_run.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <system_error>

#include "archive/archive_extraction.h"
#include "archive/path_helpers.h"
#include "jravan/race.h"
#include "jravan/race_card.h"
#include "pdb/palm_database.h"
#include "pdb/record_assembly.h"

namespace kelvane {
namespace {

constexpr const char* kTooManyRacesText = "レース数が多すぎるため、%1 を作成できませんでした。";

std::string WithTrailingSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string WithPath(std::string text, const std::string& path) {
  const auto at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, path);
  return text;
}

std::string FileErrorTemplate(FileErrorCause cause) {
  switch (cause) {
    case FileErrorCause::kUnspecified: return "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
    case FileErrorCause::kFileNotFound: return "%1 が見つかりませんでした。";
    case FileErrorCause::kInvalidPath: return "%1 には無効なﾊﾟｽが含まれています。";
    case FileErrorCause::kTooManyOpenFiles: return "開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。";
    case FileErrorCause::kAccessDenied: return "%1 へのｱｸｾｽは拒否されました。";
    case FileErrorCause::kInvalidFileHandle: return "%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。";
    case FileErrorCause::kCurrentFolderNotRemovable: return "現在のﾃﾞｨﾚｸﾄﾘ %1 は削除できませんでした。";
    case FileErrorCause::kFolderFull: return "%1 を作成できませんでした。そのﾃﾞｨﾚｸﾄﾘはいっぱいです。";
    case FileErrorCause::kSeekFailed: return "%1 のｼｰｸに失敗しました。";
    case FileErrorCause::kHardwareIo: return "%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。";
    case FileErrorCause::kSharingViolation: return "%1 へのｱｸｾｽ中に共有違反が発生しました。";
    case FileErrorCause::kLockViolation: return "%1 へのｱｸｾｽ中にﾛｯｸ違反が発生しました。";
    case FileErrorCause::kDiskFull: return "%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。";
    case FileErrorCause::kAccessPastEnd: return "%1 の末尾以降にｱｸｾｽしようとしました。";
  }
  return "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。";
}

// Shows each text once in a run: a damaged card or register fails the same way for
// every race, and one message says as much as thousands of the same.
class MessagesOnce : public MessageSink {
 public:
  explicit MessagesOnce(MessageSink& shown) : shown_(shown) {}
  void ShowMessage(const std::string& text) override {
    if (texts_.insert(text).second) shown_.ShowMessage(text);
  }

 private:
  MessageSink& shown_;
  std::set<std::string> texts_;
};

class Silent : public MessageSink {
 public:
  void ShowMessage(const std::string&) override {}
};

// The number of races of `card` that read, counted up to `limit` + 1.
std::size_t ReadableRaces(const RaceCard& card, std::size_t limit) {
  Silent silent;
  std::size_t readable = 0;
  for (int j = 1; j <= card.LineCount() && readable <= limit; ++j) {
    Race race;
    if (card.ReadRace(j, race, silent)) ++readable;
  }
  return readable;
}

// Reads every race of one archive into `races`; an archive that fails adds none.
// Returns false, adding none, when its races would take the list past the records a
// database can count; they are counted first then, not held.
bool CollectRaces(const std::string& archive, const std::string& workingFolder,
                  std::vector<Race>& races, MessageSink& messages) {
  Race holder;
  if (!ExtractArchive(archive, workingFolder, holder, messages)) return true;
  // The card is read once; every race of it is then taken from memory.
  const auto card = RaceCard::Open(holder.cardPath, messages);
  if (!card) return true;
  const std::size_t room = kMaxRecords - races.size();
  if (static_cast<std::size_t>(card->LineCount()) > room && ReadableRaces(*card, room) > room) {
    return false;
  }
  for (int j = 1; j <= card->LineCount(); ++j) {
    // Each race is read straight into the list; one that cannot be read leaves its
    // fresh slot as it was, and the slot is dropped.
    if (!card->ReadRace(j, races.emplace_back(), messages)) races.pop_back();
  }
  return true;
}

// Deletes the two data files of each working folder and the folder itself when that
// leaves it empty. Other unpacked files, and the JRA-VAN root, stay.
void RemoveWorkingFiles(const std::vector<std::string>& workingFolders) {
  for (const auto& folder : workingFolders) {
    std::error_code ignored;
    std::filesystem::remove(folder + kRaceCardName, ignored);
    std::filesystem::remove(folder + kHorseRegisterName, ignored);
    std::filesystem::remove(folder, ignored);
  }
}

}  // namespace

std::vector<std::string> WorkingFolders(const std::string& baseFolder,
                                        const std::vector<std::string>& archives) {
  const std::string root = WithTrailingSlash(baseFolder) + kWorkingRootName + "/";

  std::set<std::string> taken;
  std::vector<std::string> folders;
  for (const auto& archive : archives) {
    std::string stem = PathStem(PathFileName(archive));
    // "", "." and ".." would name the root or its parent, not a folder of their own.
    if (stem.find_first_not_of('.') == std::string::npos && stem.size() <= 2) stem.insert(0, "_");
    std::string name = stem;
    for (int use = 2; !taken.insert(name).second; ++use) name = stem + "~" + std::to_string(use);
    folders.push_back(root + name + "/");
  }
  return folders;
}

std::string FileErrorText(const FileError& error) {
  return WithPath(FileErrorTemplate(error.cause()), error.path());
}

ConversionOutcome RunConversion(const ConversionRequest& request, Env& env) {
  auto db = PalmDatabase::CreateDefault(CurrentPalmTime(env.Now()));
  const auto workingFolders = WorkingFolders(request.baseFolder, request.archives);

  // One record per race, and the header counts at most 65,535 of them: checked as
  // each card is read, before any horse is, and again by the assembly itself.
  const auto refuseTooManyRaces = [&] {
    env.ShowFileError(WithPath(kTooManyRacesText, request.outputPath));
    RemoveWorkingFiles(workingFolders);
    return ConversionOutcome{};
  };
  MessagesOnce messages(env);
  std::vector<Race> races;
  for (std::size_t i = 0; i < request.archives.size(); ++i) {
    if (!CollectRaces(request.archives[i], workingFolders[i], races, messages)) {
      return refuseTooManyRaces();
    }
  }
  if (!AssembleRecords(db, races, request.alarm, messages)) return refuseTooManyRaces();
  try {
    db.Write(request.outputPath);
  } catch (const FileError& error) {
    env.ShowFileError(FileErrorText(error));
    return {};
  }
  env.OpenWithShell(request.outputPath);
  RemoveWorkingFiles(workingFolders);
  return {true, static_cast<int>(db.RecordCount())};
}

std::time_t SystemNow() {
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch != nullptr && *epoch != '\0') {
    char* end = nullptr;
    const long long value = std::strtoll(epoch, &end, 10);
    if (end != nullptr && *end == '\0') return static_cast<std::time_t>(value);
  }
  return std::time(nullptr);
}

namespace {

// True when a "JRA-VAN" folder exists or can be made in `folder` and takes new files.
bool CanHoldWorkingFolders(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path root = fs::path(folder) / kWorkingRootName;
  fs::create_directory(root, ec);
  if (!fs::is_directory(root, ec)) return false;
  const fs::path probe = root / ".kelvane-probe";
  std::FILE* file = std::fopen(probe.c_str(), "wb");
  if (file == nullptr) return false;
  std::fclose(file);
  fs::remove(probe, ec);
  return true;
}

std::string UserCacheFolder() {
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/') {
    return std::string(xdg) + "/kelvane/";
  }
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    return std::string(home) + "/.cache/kelvane/";
  }
  std::error_code ec;
  return (std::filesystem::temp_directory_path(ec) / "kelvane").string() + "/";
}

}  // namespace

std::string ChooseBaseFolder(const std::string& programFolder) {
  if (!programFolder.empty() && CanHoldWorkingFolders(programFolder)) {
    return WithTrailingSlash(programFolder);
  }
  const std::string cache = UserCacheFolder();
  std::error_code ignored;
  std::filesystem::create_directories(cache, ignored);
  return cache;
}

}  // namespace kelvane
