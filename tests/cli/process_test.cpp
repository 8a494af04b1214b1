// `kelvane convert` as separate processes: where the bytes go, runs at the same time,
// and runs ended by a signal.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::ScopedTempDir;

// A `kelvane` process at a fixed clock; its standard output goes to `stdoutPath`
// when one is given.
class Kelvane {
 public:
  explicit Kelvane(const std::vector<std::string>& args, const std::string& stdoutPath = "",
                   const std::string& program = KELVANE_PROGRAM) {
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (!stdoutPath.empty()) {
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutPath.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    unsetenv("SOURCE_DATE_EPOCH");
    posix_spawn_file_actions_destroy(&actions);
  }
  void Signal(int signalNumber) const { kill(pid_, signalNumber); }
  // The exit status, or 128 + the signal that ended it.
  int Wait() const {
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = 0;
};

std::string Sample(const char* name) {
  return std::string(std::getenv("KELVANE_SOURCE_DIR")) + "/samples/" + name;
}

// `convert` into `output`, in `workDir` (the default working area when empty).
std::vector<std::string> Convert(const std::string& workDir, const std::string& output,
                                 const std::vector<std::string>& archives) {
  std::vector<std::string> args{"convert", "-o", output};
  if (!workDir.empty()) args.insert(args.end(), {"--work-dir", workDir});
  args.insert(args.end(), archives.begin(), archives.end());
  return args;
}

// The same bytes reach standard output, a FIFO (which stays a FIFO) and, as root, a
// character device (which stays a device), as a file gets.
TEST(KelvaneProcess, StandardOutputFifosAndDevicesGetTheFileBytes) {
  ScopedTempDir dir;
  const std::string day = Sample("20031228-06-nakayama.lzh");
  ASSERT_EQ(Kelvane(Convert(dir / "work", dir / "file.pdb", {day})).Wait(), 0);
  const std::string expected = ReadFileBytes(dir / "file.pdb");

  ASSERT_EQ(Kelvane(Convert(dir / "work", "-", {day}), dir / "stdout.pdb").Wait(), 0);
  EXPECT_TRUE(ReadFileBytes(dir / "stdout.pdb") == expected);

  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadFileBytes(dir / "fifo"); });
  EXPECT_EQ(Kelvane(Convert(dir / "work", dir / "fifo", {day})).Wait(), 0);
  reader.join();
  EXPECT_TRUE(received == expected);
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));

  if (geteuid() == 0 && mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    EXPECT_EQ(Kelvane(Convert(dir / "work", dir / "null", {day})).Wait(), 0);
    EXPECT_TRUE(fs::is_character_file(dir / "null"));
  }
}

// Without --work-dir a run works in the user's cache folder, never beside the program,
// and leaves no file there.
TEST(KelvaneProcess, TheDefaultWorkingAreaLeavesNothingBehind) {
  ScopedTempDir dir;
  fs::create_directories(dir / "bin");
  fs::create_directories(dir / "home");
  fs::copy_file(KELVANE_PROGRAM, dir / "bin/kelvane");
  fs::permissions(dir / "bin/kelvane", fs::perms::owner_all);
  const char* home = std::getenv("HOME");
  const std::string savedHome = home != nullptr ? home : "";
  setenv("HOME", (dir / "home").c_str(), 1);
  unsetenv("XDG_CACHE_HOME");
  const int status = Kelvane(Convert({}, dir / "out.pdb", {Sample("20031228-06-nakayama.lzh")}), "",
                             dir / "bin/kelvane")
                         .Wait();
  setenv("HOME", savedHome.c_str(), 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "bin"), {}), 1);
  for (const auto& entry : fs::recursive_directory_iterator(dir / "home")) {
    EXPECT_TRUE(entry.is_directory()) << entry.path();
  }
}

// Runs started together with one working area, each on its own archive of the same
// file name, never see each other's files.
TEST(KelvaneProcess, RunsAtTheSameTimeKeepToTheirOwnArchives) {
  ScopedTempDir dir;
  const char* samples[] = {"20031228-06-nakayama.lzh", "20031228-09-hanshin.lzh"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) {
    fs::create_directories(dir / ("in" + std::to_string(i)));
    const std::string archive = dir / ("in" + std::to_string(i) + "/day.lzh");
    // The third holds both days' races under one name: a third distinct database.
    fs::copy_file(Sample(samples[i % 2]), archive);
    const std::string alone = dir / ("alone" + std::to_string(i) + ".pdb");
    std::vector<std::string> archives{archive};
    if (i == 2) archives.push_back(Sample(samples[0]));
    ASSERT_EQ(Kelvane(Convert(dir / "alone-work", alone, archives)).Wait(), 0);
    expected.push_back(ReadFileBytes(alone));
  }
  for (int trial = 0; trial < 30; ++trial) {
    std::vector<Kelvane> runs;
    for (int i = 0; i < 3; ++i) {
      std::vector<std::string> archives{dir / ("in" + std::to_string(i) + "/day.lzh")};
      if (i == 2) archives.push_back(Sample(samples[0]));
      runs.emplace_back(Convert(dir / "work", dir / ("out" + std::to_string(i) + ".pdb"), archives));
    }
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(runs[i].Wait(), 0);
      ASSERT_TRUE(ReadFileBytes(dir / ("out" + std::to_string(i) + ".pdb")) == expected[i])
          << "trial " << trial << ", run " << i;
    }
  }
  EXPECT_TRUE(fs::is_empty(dir / "work/JRA-VAN"));
}

// SIGINT and SIGTERM at any moment of a long run: the old output stays whole (or the
// new one is whole), nothing else appears beside it and no working file stays. A run
// killed outright leaves its folder to the next run, which removes it.
TEST(KelvaneProcess, SignalsEndARunWithoutLeavingAnythingBehind) {
  ScopedTempDir dir;
  fs::create_directory(dir / "in");
  std::vector<std::string> archives;
  for (int i = 0; i < 400; ++i) {
    archives.push_back(dir / ("in/" + std::to_string(i) + ".lzh"));
    fs::copy_file(Sample(i % 2 ? "20031228-06-nakayama.lzh" : "20031228-09-hanshin.lzh"),
                  archives.back());
  }
  fs::create_directory(dir / "out");
  const std::string output = dir / "out/races.pdb";
  ASSERT_EQ(Kelvane(Convert(dir / "work", output, archives)).Wait(), 0);
  const std::string whole = ReadFileBytes(output);
  test::WriteFileBytes(output, "old");

  std::mt19937 random(7);
  for (int trial = 0; trial < 6; ++trial) {
    const int signalNumber = trial % 2 ? SIGTERM : SIGINT;
    Kelvane run(Convert(dir / "work", output, archives));
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
    run.Signal(signalNumber);
    const int status = run.Wait();
    const std::string after = ReadFileBytes(output);
    if (status == 0) {
      EXPECT_TRUE(after == whole) << "a finished run's output is whole";
    } else {
      EXPECT_EQ(status, 128 + signalNumber);
      EXPECT_EQ(after, "old");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 1) << "nothing beside it";
    EXPECT_TRUE(!fs::exists(dir / "work/JRA-VAN") || fs::is_empty(dir / "work/JRA-VAN"));
    test::WriteFileBytes(output, "old");
  }

  Kelvane killed(Convert(dir / "work", output, archives));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  killed.Signal(SIGKILL);
  killed.Wait();
  ASSERT_EQ(Kelvane(Convert(dir / "work", output, {archives[0]})).Wait(), 0);
  EXPECT_TRUE(fs::is_empty(dir / "work/JRA-VAN"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 1);
}

}  // namespace
}  // namespace kelvane
