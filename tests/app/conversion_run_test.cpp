#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "pdb/race_database_reader.h"
#include "support/jravan_builder.h"
#include "support/lha_writer.h"
#include "support/recording_env.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::RecordingEnv;
using test::ScopedTempDir;

// An archive of `races` one-runner races numbered from `firstRace`, every runner's
// horse in the register, plus any `extraFiles`.
std::string MeetingArchive(int firstRace, int races,
                           std::vector<test::LhaEntry> extraFiles = {}) {
  std::vector<test::RaceCardLine> lines;
  std::vector<test::HorseRecord> horses;
  for (int r = firstRace; r < firstRace + races; ++r) {
    const std::string id = "20000000" + std::to_string(10 + r);
    lines.push_back({.year = 2003, .monthDay = 1228, .racecourseCode = "06", .raceNumber = r,
                     .entries = {{.horseNumber = 1, .horseId = id}}});
    horses.push_back({.key = id, .birthYear = 2000});
  }
  extraFiles.push_back({.name = "JracDen1.dat", .data = test::RaceCardFile(lines)});
  extraFiles.push_back({.name = "JracUmaj.dat", .data = test::HorseRegisterFile(horses)});
  return test::PackLha(extraFiles);
}

// The race number and start alarm of every record of a written database.
std::vector<std::pair<int, int>> RaceNumbersAndAlarms(const std::string& file) {
  std::string problem;
  const auto db = ReadRaceDatabase(
      {reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, problem);
  EXPECT_TRUE(db) << problem;
  std::vector<std::pair<int, int>> result;
  for (const auto& record : db ? db->races : std::vector<RaceRecord>{}) {
    result.emplace_back(record.race.raceNumber, record.race.alarm);
  }
  return result;
}

TEST(ConversionRun, NoArchivesStillWritesAnEmptyDatabaseAndOpensIt) {
  ScopedTempDir dir;
  RecordingEnv env;
  const auto outcome = RunConversion({{}, true, dir / "out.pdb", dir.path()}, env);
  EXPECT_TRUE(outcome.written);
  EXPECT_EQ(outcome.racesWritten, 0);
  EXPECT_EQ(ReadFileBytes(dir / "out.pdb").size(), 80u);
  EXPECT_EQ(env.opened, std::vector<std::string>{dir / "out.pdb"});
  EXPECT_TRUE(env.messages.empty());
}

TEST(ConversionRun, ArchivesGiveTheirRacesInListOrderPastOneThatFails) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "second.lzh", MeetingArchive(1, 2));
  test::WriteFileBytes(dir / "broken.lzh", "plain text, not an archive");
  test::WriteFileBytes(dir / "first.lzh", MeetingArchive(7, 3));
  RecordingEnv env;
  const auto outcome = RunConversion(
      {{dir / "first.lzh", dir / "broken.lzh", dir / "second.lzh"}, false, dir / "out.pdb",
       dir.path()},
      env);

  EXPECT_TRUE(outcome.written);
  EXPECT_EQ(outcome.racesWritten, 5);
  EXPECT_EQ(env.messages, std::vector<std::string>{"ファイル 'broken.lzh' は書庫ではありません"});
  EXPECT_EQ(RaceNumbersAndAlarms(ReadFileBytes(dir / "out.pdb")),
            (std::vector<std::pair<int, int>>{{7, 0}, {8, 0}, {9, 0}, {1, 0}, {2, 0}}));
}

TEST(ConversionRun, AlarmFlagReachesEveryRecord) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "day.lzh", MeetingArchive(1, 3));
  RecordingEnv env;
  RunConversion({{dir / "day.lzh"}, true, dir / "out.pdb", dir.path()}, env);
  EXPECT_EQ(RaceNumbersAndAlarms(ReadFileBytes(dir / "out.pdb")),
            (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}}));
}

TEST(ConversionRun, CleanUpRemovesTheDataFilesAndEmptyWorkingFolders) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "plain.lzh", MeetingArchive(1, 1));
  test::WriteFileBytes(dir / "extra.lzh",
                       MeetingArchive(1, 1, {{.name = "JracKisi.dat", .data = "jockeys"}}));
  RecordingEnv env;
  RunConversion({{dir / "plain.lzh", dir / "extra.lzh"}, true, dir / "out.pdb", dir.path()}, env);

  EXPECT_TRUE(std::filesystem::is_directory(dir / "JRA-VAN"));
  EXPECT_FALSE(std::filesystem::exists(dir / "JRA-VAN/plain"));
  // A folder that still holds other unpacked files stays, without the two data files.
  EXPECT_TRUE(std::filesystem::exists(dir / "JRA-VAN/extra/JracKisi.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir / "JRA-VAN/extra/JracDen1.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir / "JRA-VAN/extra/JracUmaj.dat"));
}

TEST(ConversionRun, FailedWriteShowsTheCauseAndSkipsShellAndCleanUp) {
  ScopedTempDir dir;
  RecordingEnv env;
  const std::string output = dir / "no/such/out.pdb";
  test::WriteFileBytes(dir / "day.lzh", MeetingArchive(1, 1));
  const auto outcome = RunConversion({{dir / "day.lzh"}, true, output, dir.path()}, env);
  EXPECT_FALSE(outcome.written);
  EXPECT_TRUE(std::filesystem::exists(dir / "JRA-VAN/day/JracDen1.dat"));
  EXPECT_TRUE(env.opened.empty());
  EXPECT_EQ(env.fileErrors,
            std::vector<std::string>{output + " には無効なﾊﾟｽが含まれています。"});
}

TEST(ConversionRun, WorkingFoldersFollowTheStemAndNeverShareOne) {
  const auto folders =
      WorkingFolders("/base/", {"/a/0921.lzh", "/b/0921.lzh", "/c/.lzh", "/d/a.b.lzh", "/e/0921.lzh"});
  EXPECT_EQ(folders, (std::vector<std::string>{
                         "/base/JRA-VAN/0921/", "/base/JRA-VAN/0921~2/", "/base/JRA-VAN/.lzh/",
                         "/base/JRA-VAN/a.b/", "/base/JRA-VAN/0921~3/"}));
  EXPECT_EQ(WorkingFolders("/base", {"x.lzh"}).front(), "/base/JRA-VAN/x/");
}

TEST(ConversionRun, FileErrorTextsNameThePath) {
  EXPECT_EQ(FileErrorText(FileError(FileErrorCause::kAccessDenied, "/x.pdb")),
            "/x.pdb へのｱｸｾｽは拒否されました。");
  EXPECT_EQ(FileErrorText(FileError(FileErrorCause::kDiskFull, "/x.pdb")),
            "/x.pdb へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。");
  EXPECT_EQ(FileErrorText(FileError(FileErrorCause::kTooManyOpenFiles, "/x.pdb")),
            "開いているﾌｧｲﾙが多すぎるため、/x.pdb を開けませんでした。");
}

TEST(ConversionRun, BaseFolderFallsBackToTheUserCacheWhenTheProgramFolderIsReadOnly) {
  ScopedTempDir dir;
  EXPECT_EQ(ChooseBaseFolder(dir.path()), dir.path());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "JRA-VAN"));

  const std::string cache = dir / "cache";
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  EXPECT_EQ(ChooseBaseFolder(dir / "no-such-file/sub"), cache + "/kelvane/");
  test::WriteFileBytes(dir / "plain", "x");
  EXPECT_EQ(ChooseBaseFolder(dir / "plain"), cache + "/kelvane/");
  unsetenv("XDG_CACHE_HOME");
}

}  // namespace
}  // namespace kelvane
