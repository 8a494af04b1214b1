#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/jravan_builder.h"
#include "support/lha_writer.h"
#include "support/recording_env.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::RecordingEnv;
using test::ScopedTempDir;

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

TEST(ConversionRun, FailedWriteShowsTheCauseAndSkipsShellAndCleanUp) {
  ScopedTempDir dir;
  RecordingEnv env;
  const std::string output = dir / "no/such/out.pdb";
  const auto outcome = RunConversion({{}, true, output, dir.path()}, env);
  EXPECT_FALSE(outcome.written);
  EXPECT_TRUE(env.opened.empty());
  EXPECT_EQ(env.fileErrors,
            std::vector<std::string>{output + " には無効なﾊﾟｽが含まれています。"});
}

// An archive holding `card` and `horses`, written as <dir>/<name>.
std::string WriteArchive(const ScopedTempDir& dir, const std::string& name, const std::string& card,
                         const std::string& horses) {
  test::WriteFileBytes(dir / name, test::PackLha({{.name = "JracDen1.dat", .data = card},
                                                  {.name = "JracUmaj.dat", .data = horses}}));
  return dir / name;
}

TEST(ConversionRun, TheSameMessageIsShownOncePerRun) {
  ScopedTempDir dir;
  const test::RaceCardLine race{.year = 2003, .entries = {{.horseId = "2001100001"}}};
  const std::string card = test::RaceCardFile({race, race, race});
  RecordingEnv env;
  const auto outcome = RunConversion(
      {{WriteArchive(dir, "a.lzh", card, ""), WriteArchive(dir, "b.lzh", card, "")}, true,
       dir / "out.pdb", dir.path()},
      env);
  EXPECT_EQ(outcome.racesWritten, 6);
  EXPECT_EQ(env.messages, std::vector<std::string>{"登録馬ファイルの読み込みに失敗しました"});
}

TEST(ConversionRun, CardWithMoreLinesThanADatabaseCountsButFewRacesConverts) {
  ScopedTempDir dir;
  const std::string card =
      test::RaceCardFile({{.raceNumber = 1}, {.raceNumber = 2}}) + std::string(70'000, '\n');
  RecordingEnv env;
  const auto outcome = RunConversion(
      {{WriteArchive(dir, "a.lzh", card, "")}, true, dir / "out.pdb", dir.path()}, env);
  EXPECT_TRUE(outcome.written);
  EXPECT_EQ(outcome.racesWritten, 2);
  EXPECT_EQ(env.messages, std::vector<std::string>{"出馬表ファイルの読み込みに失敗しました"});
}

TEST(ConversionRun, WorkingFoldersFollowTheStemAndNeverShareOne) {
  const auto folders =
      WorkingFolders("/base/", {"/a/0921.lzh", "/b/0921.lzh", "/c/.lzh", "/d/a.b.lzh", "/e/0921.lzh"});
  EXPECT_EQ(folders, (std::vector<std::string>{
                         "/base/JRA-VAN/0921/", "/base/JRA-VAN/0921~2/", "/base/JRA-VAN/.lzh/",
                         "/base/JRA-VAN/a.b/", "/base/JRA-VAN/0921~3/"}));
  EXPECT_EQ(WorkingFolders("/base", {"x.lzh"}).front(), "/base/JRA-VAN/x/");
}

TEST(ConversionRun, WorkingFoldersStayApartFromNamesThatLookNumbered) {
  EXPECT_EQ(WorkingFolders("/base/", {"/a/0921.lzh", "/b/0921.lzh", "/c/0921~2.lzh"}),
            (std::vector<std::string>{"/base/JRA-VAN/0921/", "/base/JRA-VAN/0921~2/",
                                      "/base/JRA-VAN/0921~2~2/"}));
}

TEST(ConversionRun, WorkingFoldersOfDotStemsStayInsideTheRoot) {
  EXPECT_EQ(WorkingFolders("/base/", {"/a/...lzh", "/a/..lzh", "/a/..", "/a/", "/a/_..lzh"}),
            (std::vector<std::string>{"/base/JRA-VAN/_../", "/base/JRA-VAN/_./",
                                      "/base/JRA-VAN/_.~2/", "/base/JRA-VAN/_/",
                                      "/base/JRA-VAN/_.~3/"}));
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
