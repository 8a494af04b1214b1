// `kelvane` on a machine that fails it: a full disk, a size limit, too few
// descriptors, closed or failing standard streams, a reader that never reads, a
// thread that will not start, its working folders moved while it is stopped. Each
// scenario is a shell script, run as the person met it. Every one ends with the exit
// status and the message it should, the old database as it was (or the database a
// normal run writes), and nothing left in the working area or beside the output.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::ScopedTempDir;

constexpr const char* kOldDatabase = "the database of yesterday";
constexpr auto kDeadline = std::chrono::seconds(20);

// What the scripts are given, as variables: $K the program, $IN the archives' folder,
// $A the archives, $W the working area (an empty folder), $O the output (holding an
// old database), $D a folder of the scenario's own, $CHECK a file the script writes
// a line into for anything it finds wrong, $NOTHREADS a library that fails every
// thread, $UNSHARE the command that runs a command in a mount namespace of its own.
struct Scenario {
  const char* name;
  const char* script;
  int status;
  // What standard error must match (ECMAScript), with %W, %D and %O standing for the
  // working area, the scenario's folder and the output.
  const char* message;
  bool written;  // $O holds what a normal run writes; else it is as it was
};

const char* kConvert = R"sh("$K" convert --work-dir "$W" -o "$O" $A)sh";

const Scenario kScenarios[] = {
    {"FullDiskUnderTheWorkingArea",
     R"sh($UNSHARE sh -c 'mount -t tmpfs -o size=1m tmpfs "$W" || exit 99
        "$K" convert --work-dir "$W" -o "$O" $A; s=$?; find "$W" -mindepth 2 >> "$CHECK"; exit $s')sh",
     3, "^kelvane: %W/JRA-VAN/run-[a-z0-9]{12}/\\S* へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。\n$", false},
    {"NoHomeAndATemporaryFolderOutOfInodes",
     R"sh(mkdir "$D/tmp"; $UNSHARE sh -c 'mount -t tmpfs -o size=1m,nr_inodes=2 tmpfs "$D/tmp" || exit 99
        env -u HOME -u XDG_CACHE_HOME TMPDIR="$D/tmp" "$K" convert -o "$O" $A; s=$?
        find "$D/tmp" -mindepth 1 >> "$CHECK"; exit $s')sh",
     3, "^kelvane: %D/tmp/kelvane-\\w{6}/JRA-VAN へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。\n$", false},
    // The records are spooled beside the output, which is what fills first.
    {"FileSizeLimit", R"sh(ulimit -f 1000; "$K" convert --work-dir "$W" -o "$O" $A)sh", 3,
     "^kelvane: %O へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。\n$", false},
    {"TooFewDescriptors", R"sh(ulimit -n 9; "$K" convert --work-dir "$W" -o "$O" $A)sh", 3,
     "^kelvane: 開いているﾌｧｲﾙが多すぎるため、\\S+ を開けませんでした。\n$", false},
    {"StandardErrorClosed", R"sh("$K" convert --work-dir "$W" -o "$O" $A "$IN/broken.lzh" 2>&-)sh", 1, "^$",
     true},
    {"StandardOutputClosed", R"sh("$K" convert --work-dir "$W" -o - $A >&-)sh", 3,
     "^kelvane: standard output へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。\n$", false},
    {"StandardOutputFull", R"sh("$K" convert --work-dir "$W" -o - $A > /dev/full)sh", 3,
     "^kelvane: standard output へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。\n$", false},
    {"DumpIntoAFullDevice", R"sh("$K" dump --format json "$KELVANE_SOURCE_DIR/tests/data/samples.pdb" > /dev/full)sh", 1,
     "^kelvane: write error(: No space left on device)?\n$", false},
    {"HelpIntoAClosedOutput", R"sh("$K" --help >&-)sh", 1, "^kelvane: write error: Bad file descriptor\n$",
     false},
    {"VersionIntoAFullDevice", R"sh("$K" --version > /dev/full)sh", 1,
     "^kelvane: write error: No space left on device\n$", false},
    {"ThreadThatCannotStart",
     R"sh(LD_PRELOAD="$NOTHREADS" ASAN_OPTIONS=verify_asan_link_order=0 "$K" convert --work-dir "$W" -o "$O" $A)sh",
     3, "^kelvane: メモリが足りないため、%O を作成できませんでした。\n$", false},
    {"StopWhileWaitingForAReader",
     R"sh(mkfifo "$D/fifo"; "$K" convert --work-dir "$W" -o "$D/fifo" $A & p=$!
        sleep 1; kill -TERM $p; wait $p)sh",
     128 + SIGTERM, "^$", false},
    {"StopWhileThePipeStalls",
     R"sh(mkfifo "$D/pipe"; sleep 60 < "$D/pipe" & r=$!
        "$K" convert --work-dir "$W" -o - $A > "$D/pipe" & p=$!
        sleep 1; kill -INT $p; wait $p; s=$?; kill $r; exit $s)sh",
     128 + SIGINT, "^$", false},
    {"SameArchiveBySeveralSpellings",
     R"sh(ln -s "$IN/a1.lzh" "$D/link.lzh"
        "$K" convert --work-dir "$W" -o "$O" $A "$IN/./a1.lzh" "$D/link.lzh" "$IN/../in/a2.lzh")sh",
     0, "^$", true},
    {"OutputThatIsAFolder",
     R"sh(mkdir "$D/folder"; "$K" convert --work-dir "$W" -o "$D/folder" $A; s=$?
        [ -e "$W/JRA-VAN" ] && echo "unpacked before the output was checked" >> "$CHECK"; exit $s)sh",
     3, "^kelvane: %D/folder へのｱｸｾｽは拒否されました。\n$", false},
    {"RunFolderSwappedForALinkWhileStopped",
     R"sh(mkdir "$D/victim"; "$K" convert --work-dir "$W" -o "$O" $A & p=$!
        until [ -d "$(echo "$W"/JRA-VAN/run-*/archives)" ]; do sleep 0.01; done
        kill -STOP $p; r=$(ls -d "$W"/JRA-VAN/run-*); mv "$r" "$D/moved"; ln -s "$D/victim" "$r"
        kill -CONT $p; wait $p; s=$?
        [ -z "$(ls -A "$D/victim")" ] || echo "the run wrote into the link's folder" >> "$CHECK"
        [ -z "$(ls -A "$D/moved")" ] || echo "the moved run folder kept files" >> "$CHECK"; exit $s)sh",
     0, "^$", true},
    {"WorkingRootRenamedWhileStopped",
     R"sh("$K" convert --work-dir "$W" -o "$O" $A & p=$!
        while [ -z "$(ls "$W/JRA-VAN" 2>/dev/null)" ]; do sleep 0.01; done
        kill -STOP $p; mv "$W/JRA-VAN" "$D/elsewhere"; kill -CONT $p; wait $p; s=$?
        [ -e "$W/JRA-VAN" ] && echo "JRA-VAN made again" >> "$CHECK"
        [ -z "$(ls -A "$D/elsewhere")" ] || echo "the run left files" >> "$CHECK"; exit $s)sh",
     0, "^$", true},
};

std::string WithoutSlash(const ScopedTempDir& d) { return d.path().substr(0, d.path().size() - 1); }

// What a script noted as wrong.
std::string Noted(const ScopedTempDir& d) { return fs::exists(d / "check") ? ReadFileBytes(d / "check") : ""; }

// The archives all scenarios convert: the two sample days, twenty times each, and a
// broken one; and the database a normal run makes of them.
class MachineFailure : public ::testing::TestWithParam<Scenario> {
 protected:
  static void SetUpTestSuite() {
    shared_ = new ScopedTempDir;
    archives_.clear();
    fs::create_directory(*shared_ / "in");
    const std::string samples = std::string(std::getenv("KELVANE_SOURCE_DIR")) + "/samples/";
    for (int i = 1; i <= 40; ++i) {
      const std::string archive = *shared_ / ("in/a" + std::to_string(i) + ".lzh");
      fs::copy_file(samples + (i % 2 ? "20031228-06-nakayama.lzh" : "20031228-09-hanshin.lzh"), archive);
      archives_ += (archives_.empty() ? "" : " ") + archive;
    }
    test::WriteFileBytes(*shared_ / "in/broken.lzh", "not an archive");
    const ScopedTempDir work;
    ASSERT_EQ(Run(std::string(kConvert), work, *shared_ / "in/reference.pdb"), 0);
  }
  static void TearDownTestSuite() { delete shared_; }

  // Runs `script` with the variables above, its standard error into "$D/err"; the
  // exit status, or -1 past the deadline.
  static int Run(const std::string& script, const ScopedTempDir& d, const std::string& output) {
    fs::create_directories(d / "work");
    const std::pair<const char*, std::string> variables[] = {
        {"K", KELVANE_PROGRAM}, {"IN", *shared_ / "in"}, {"A", archives_},
        {"W", d / "work"}, {"O", output}, {"D", WithoutSlash(d)}, {"CHECK", d / "check"},
        {"NOTHREADS", KELVANE_NO_THREADS}, {"UNSHARE", geteuid() == 0 ? "unshare -m" : "unshare -rm"},
        {"SOURCE_DATE_EPOCH", "1700000000"}};
    for (const auto& [name, value] : variables) setenv(name, value.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (d / "err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its own group, to end
    const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    for (const auto& [name, value] : variables) unsetenv(name);
    if (spawned != 0) return -1;
    return WaitWithDeadline(pid);
  }

  static int WaitWithDeadline(pid_t pid) {
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > end) {
        killpg(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  static inline ScopedTempDir* shared_ = nullptr;
  static inline std::string archives_;
};

std::string WithPlaces(std::string pattern, const ScopedTempDir& d, const std::string& output) {
  for (const auto& [mark, value] : {std::pair{"%W", d / "work"}, {"%D", WithoutSlash(d)}, {"%O", output}}) {
    for (auto at = pattern.find(mark); at != std::string::npos; at = pattern.find(mark)) {
      pattern.replace(at, 2, value);
    }
  }
  return pattern;
}

TEST_P(MachineFailure, EndsAsItShouldAndLeavesNothingBehind) {
  const Scenario& scenario = GetParam();
  const ScopedTempDir d;
  fs::create_directory(d / "out");
  const std::string output = d / "out/races.pdb";
  test::WriteFileBytes(output, kOldDatabase);

  const int status = Run(scenario.script, d, output);
  ASSERT_NE(status, 99) << "the scenario could not be set up here";
  ASSERT_NE(status, -1) << "still running after " << kDeadline.count() << " s";
  const std::string err = ReadFileBytes(d / "err");
  EXPECT_EQ(status, scenario.status) << err;
  EXPECT_TRUE(std::regex_search(err, std::regex(WithPlaces(scenario.message, d, output)))) << err;
  if (scenario.written) {
    EXPECT_TRUE(ReadFileBytes(output) == ReadFileBytes(*shared_ / "in/reference.pdb"));
  } else {
    EXPECT_EQ(ReadFileBytes(output), kOldDatabase);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(d / "out"), {}), 1) << "nothing beside the output";
  EXPECT_TRUE(!fs::exists(d / "work/JRA-VAN") || fs::is_empty(d / "work/JRA-VAN"));
  EXPECT_EQ(Noted(d), "");
}

INSTANTIATE_TEST_SUITE_P(Scenarios, MachineFailure, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// However few descriptors a run has, it either writes the database whole or ends
// with exit 3, the old one untouched and nothing left; never a partial database
// told as bad archives.
TEST_F(MachineFailure, AnyLimitOnDescriptorsWritesAllOrNothing) {
  for (int limit = 6; limit <= 16; ++limit) {  // fewer, and the program itself cannot load
    SCOPED_TRACE("ulimit -n " + std::to_string(limit));
    const ScopedTempDir d;
    fs::create_directory(d / "out");
    const std::string output = d / "out/races.pdb";
    test::WriteFileBytes(output, kOldDatabase);
    const int status = Run("ulimit -n " + std::to_string(limit) + "; " + kConvert, d, output);
    const std::string written = ReadFileBytes(output);
    if (status == 0) {
      EXPECT_TRUE(written == ReadFileBytes(*shared_ / "in/reference.pdb"));
    } else {
      EXPECT_EQ(status, 3) << ReadFileBytes(d / "err");
      EXPECT_EQ(written, kOldDatabase);
    }
    EXPECT_TRUE(!fs::exists(d / "work/JRA-VAN") || fs::is_empty(d / "work/JRA-VAN"));
  }
}

}  // namespace
}  // namespace kelvane
