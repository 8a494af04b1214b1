#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "app/user_texts.h"
#include "app/working_folders.h"
#include "pdb/race_database_reader.h"
#include "messages/texts.h"
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

// Whatever a run's outcome, nothing of it stays in the working area.
TEST(ConversionRun, NothingStaysInTheWorkingAreaWhateverTheOutcome) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "plain.lzh", MeetingArchive(1, 1));
  test::WriteFileBytes(dir / "extra.lzh",
                       MeetingArchive(1, 1, {{.name = "JracKisi.dat", .data = "jockeys"}}));
  std::filesystem::create_directory(dir / "a-folder");  // the write fails on it
  const std::vector<std::string> archives{dir / "plain.lzh", dir / "extra.lzh"};
  for (const std::string& output : {dir / "out.pdb", dir / "a-folder"}) {
    RecordingEnv env;
    RunConversion({archives, true, output, dir / "work"}, env);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "work/JRA-VAN")) << output;
  }
}

TEST(ConversionRun, AnOutputFolderThatCannotTakeTheFileIsFoundBeforeUnpacking) {
  ScopedTempDir dir;
  RecordingEnv env;
  const std::string output = dir / "no/such/out.pdb";
  test::WriteFileBytes(dir / "day.lzh", MeetingArchive(1, 1));
  const auto outcome = RunConversion({{dir / "day.lzh"}, true, output, dir / "work"}, env);
  EXPECT_FALSE(outcome.written);
  EXPECT_FALSE(std::filesystem::exists(dir / "work"));
  EXPECT_TRUE(env.opened.empty());
  EXPECT_EQ(env.fileErrors,
            std::vector<std::string>{output + " には無効なﾊﾟｽが含まれています。"});
}

// A stop request (a signal, the window's Cancel) ends the run at its next step with
// nothing written, an existing output untouched and no working files.
TEST(ConversionRun, AStopRequestEndsTheRunWithoutWriting) {
  struct StoppingEnv : RecordingEnv {
    void ShowProgress(std::size_t index, std::size_t, const std::string&) override {
      if (index == 1) stop = true;
    }
    bool StopRequested() override { return stop; }
    bool stop = false;
  };
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "a.lzh", MeetingArchive(1, 2));
  test::WriteFileBytes(dir / "b.lzh", MeetingArchive(3, 2));
  test::WriteFileBytes(dir / "out.pdb", "old");
  StoppingEnv env;
  const auto outcome =
      RunConversion({{dir / "a.lzh", dir / "b.lzh"}, true, dir / "out.pdb", dir / "work"}, env);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(ReadFileBytes(dir / "out.pdb"), "old");
  EXPECT_TRUE(std::filesystem::is_empty(dir / "work/JRA-VAN"));
  EXPECT_TRUE(env.fileErrors.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

// An archive holding `card` and `horses`, written as <dir>/<name>.
std::string WriteArchive(const ScopedTempDir& dir, const std::string& name, const std::string& card,
                         const std::string& horses) {
  test::WriteFileBytes(dir / name, test::PackLha({{.name = "JracDen1.dat", .data = card},
                                                  {.name = "JracUmaj.dat", .data = horses}}));
  return dir / name;
}

// No message is merged away: each says its archive, race and runner.
TEST(ConversionRun, EveryMessageIsShownWithItsPlace) {
  ScopedTempDir dir;
  const test::RaceCardLine race{.year = 2003, .monthDay = 1228, .racecourseCode = "06",
                                .raceNumber = 11, .entries = {{.horseId = "2001100001"}}};
  const std::string card = test::RaceCardFile({race, race});
  const std::string a = WriteArchive(dir, "a.lzh", card, "");
  const std::string b = WriteArchive(dir, "b.lzh", card, "");
  RecordingEnv env;
  const auto outcome = RunConversion({{a, b}, true, dir / "out.pdb", dir / "work"}, env);
  EXPECT_EQ(outcome.racesWritten, 4);
  EXPECT_EQ(env.messages, std::vector<std::string>(4, texts::kHorseNotRead));
  const MessagePlace second = env.places.at(1);
  EXPECT_EQ(second.archive, a);
  EXPECT_EQ(second.cardRace, 2);
  EXPECT_EQ(second.raceNumber, 11);
  EXPECT_EQ(second.entry, 1);
  EXPECT_EQ(second.horseId, "2001100001");
  EXPECT_EQ(env.places.at(2).archive, b);
  EXPECT_EQ(PlaceText(second), a + ": race 2 (2003-12-28 中山 11R), entry 1 (horse 2001100001)");
}

// Data files stored as DOS-era tools wrote their names convert to the same bytes.
TEST(ConversionRun, DataFilesInCapitalsConvertAsTheUsualNamesDo) {
  ScopedTempDir dir;
  const std::string card = test::RaceCardFile({{.year = 2003, .raceNumber = 1,
                                               .entries = {{.horseId = "2001100001"}}}});
  const std::string horses = test::HorseRegisterFile({{.key = "2001100001", .birthYear = 2000}});
  test::WriteFileBytes(dir / "usual.lzh", test::PackLha({{.name = "JracDen1.dat", .data = card},
                                                         {.name = "JracUmaj.dat", .data = horses}}));
  test::WriteFileBytes(dir / "dos.lzh", test::PackLha({{.name = "JRACDEN1.DAT", .data = card},
                                                       {.name = "JRACUMAJ.DAT", .data = horses}}));
  RecordingEnv env;
  RunConversion({{dir / "usual.lzh"}, true, dir / "usual.pdb", dir / "work"}, env);
  RunConversion({{dir / "dos.lzh"}, true, dir / "dos.pdb", dir / "work"}, env);
  EXPECT_TRUE(env.messages.empty());
  EXPECT_EQ(ReadFileBytes(dir / "dos.pdb"), ReadFileBytes(dir / "usual.pdb"));
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
  EXPECT_EQ(env.messages, std::vector<std::string>(70'000, texts::kRaceNotRead));
}

TEST(ConversionRun, WorkingFoldersFollowTheStemAndNeverShareOne) {
  EXPECT_EQ(WorkingFolderNames({"/a/0921.lzh", "/b/0921.lzh", "/c/.lzh", "/d/a.b.lzh", "/e/0921.lzh"}),
            (std::vector<std::string>{"0921", "0921~2", ".lzh", "a.b", "0921~3"}));
}

TEST(ConversionRun, WorkingFoldersStayApartFromNamesThatLookNumbered) {
  EXPECT_EQ(WorkingFolderNames({"/a/0921.lzh", "/b/0921.lzh", "/c/0921~2.lzh"}),
            (std::vector<std::string>{"0921", "0921~2", "0921~2~2"}));
}

TEST(ConversionRun, WorkingFoldersOfDotStemsStayInsideTheRoot) {
  EXPECT_EQ(WorkingFolderNames({"/a/...lzh", "/a/..lzh", "/a/..", "/a/", "/a/_..lzh"}),
            (std::vector<std::string>{"_..", "_.", "_.~2", "_", "_.~3"}));
}

TEST(ConversionRun, FileErrorTextsNameThePathEscaped) {
  EXPECT_EQ(FileErrorText(FileError(OsFailure::Reported(EACCES), "/x.pdb")), "/x.pdb へのｱｸｾｽは拒否されました。");
  EXPECT_EQ(FileErrorText(FileError(OsFailure::Reported(ENOSPC), "/x.pdb")),
            "/x.pdb へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。");
  EXPECT_EQ(FileErrorText(FileError(OsFailure::Reported(EMFILE), "/a\nb.pdb")),
            "開いているﾌｧｲﾙが多すぎるため、/a\\nb.pdb を開けませんでした。");
}

// The default base is the user's cache folder, or with no HOME a private folder
// made for the run under TMPDIR and removed after it.
TEST(WorkingArea, DefaultBaseIsTheUserCacheOrAFreshTempFolder) {
  ScopedTempDir dir;
  const std::string cache = dir / "cache";
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  {
    const auto area = WorkingArea::Create("");
    EXPECT_EQ(area.folder().path().rfind(cache + "/kelvane/JRA-VAN/run-", 0), 0u) << area.folder().path();
  }
  unsetenv("XDG_CACHE_HOME");
  const std::string home = getenv("HOME") ? getenv("HOME") : "";
  unsetenv("HOME");
  setenv("TMPDIR", (dir / "tmp").c_str(), 1);
  std::filesystem::create_directory(dir / "tmp");
  {
    const auto area = WorkingArea::Create("");
    EXPECT_EQ(area.folder().path().rfind(dir / "tmp/kelvane-", 0), 0u) << area.folder().path();
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir / "tmp"));
  unsetenv("TMPDIR");
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
}

// Two runs at once never share a folder; a run that died leaves a folder whose lock
// is free, and the next run removes it; one still running keeps its own.
TEST(WorkingArea, RunsHaveFoldersOfTheirOwnAndDeadRunsFoldersGo) {
  ScopedTempDir dir;
  const auto first = WorkingArea::Create(dir.path());
  const auto second = WorkingArea::Create(dir.path());
  EXPECT_NE(first.folder().path(), second.folder().path());
  test::WriteFileBytes(first.folder().path() + "kept", "x");
  std::filesystem::create_directories(dir / "JRA-VAN/run-dead/day");
  test::WriteFileBytes(dir / "JRA-VAN/run-dead/day/JracDen1.dat", "x");
  const auto third = WorkingArea::Create(dir.path());
  EXPECT_FALSE(std::filesystem::exists(dir / "JRA-VAN/run-dead"));
  EXPECT_TRUE(std::filesystem::exists(first.folder().path() + "kept"));
}

// Links planted where the root or a folder of it would be are never followed: what
// they point at stays as it was, and the run still converts.
TEST(WorkingArea, PlantedLinksAreNotFollowed) {
  ScopedTempDir dir;
  namespace fs = std::filesystem;
  fs::create_directories(dir / "victim");
  test::WriteFileBytes(dir / "victim/JracDen1.dat", "mine");
  test::WriteFileBytes(dir / "day.lzh", MeetingArchive(1, 2));
  fs::create_directories(dir / "work");
  fs::create_directory_symlink(dir / "victim", dir / "work/JRA-VAN");
  RecordingEnv env;
  auto outcome = RunConversion({{dir / "day.lzh"}, true, dir / "out.pdb", dir / "work"}, env);
  EXPECT_EQ(outcome.racesWritten, 2);
  EXPECT_EQ(ReadFileBytes(dir / "victim/JracDen1.dat"), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "victim"), {}), 1);
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(dir / "work/JRA-VAN")));
}

}  // namespace
}  // namespace kelvane
