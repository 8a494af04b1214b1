// What `kelvane convert` checks before it unpacks or writes anything, and where it
// writes the database.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "cli/cli_run.h"
#include "support/deadline.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::RunKelvane;
using test::ScopedTempDir;

std::string Sample() {
  return std::string(std::getenv("KELVANE_SOURCE_DIR")) + "/samples/20031228-06-nakayama.lzh";
}

// A person's folder with the sample archive as day.lzh and an older database.
struct Folder {
  Folder() {
    fs::copy_file(Sample(), dir / "day.lzh");
    test::WriteFileBytes(dir / "old.pdb", "a database the person keeps");
  }
  test::CliRun Convert(const std::string& output, const std::vector<std::string>& archives) const {
    std::vector<std::string> args{"convert", "--work-dir", dir / "work", "-o", output};
    args.insert(args.end(), archives.begin(), archives.end());
    return RunKelvane(args);
  }
  ScopedTempDir dir;
};

// An output that is one of the archives, by any spelling or a hard link, and an
// archive that cannot be read, end the command before anything is touched.
TEST(ConvertArguments, ThoseThatWouldCostAFileAreRefusedFirst) {
  Folder f;
  fs::create_directory(f.dir / "x");
  fs::create_hard_link(f.dir / "day.lzh", f.dir / "hard.lzh");
  fs::create_symlink("day.lzh", f.dir / "soft.pdb");
  const std::string archive = ReadFileBytes(f.dir / "day.lzh");
  struct Row {
    std::string output;
    std::vector<std::string> archives;
    std::string errStart;
  };
  const Row rows[] = {
      {f.dir / "day.lzh", {f.dir / "day.lzh"}, "kelvane: " + f.dir / "day.lzh" + ": is the archive "},
      {f.dir / "x/../day.lzh", {f.dir / "day.lzh"}, "kelvane: " + f.dir / "x/../day.lzh" + ": is the archive "},
      {f.dir / "hard.lzh", {f.dir / "day.lzh"}, "kelvane: " + f.dir / "hard.lzh" + ": is the archive "},
      {f.dir / "soft.pdb", {f.dir / "day.lzh"}, "kelvane: " + f.dir / "soft.pdb" + ": is the archive "},
      {f.dir / "old.pdb", {f.dir / "day.lzh", f.dir / "nakayma.lzh"},
       "kelvane: " + f.dir / "nakayma.lzh" + ": No such file or directory\n"},
      {f.dir / "old.pdb", {f.dir / "x"}, "kelvane: " + f.dir / "x" + ": Is a directory\n"},
  };
  for (const Row& row : rows) {
    const auto run = f.Convert(row.output, row.archives);
    EXPECT_EQ(run.status, kExitUsage) << row.output;
    EXPECT_EQ(run.err.substr(0, row.errStart.size()), row.errStart);
    EXPECT_EQ(ReadFileBytes(f.dir / "day.lzh"), archive);
    EXPECT_EQ(ReadFileBytes(f.dir / "old.pdb"), "a database the person keeps");
    EXPECT_FALSE(fs::exists(f.dir / "work"));
  }
}

TEST(ConvertArguments, SourceDateEpochMustBeADateTheDatabaseCanHold) {
  Folder f;
  for (const char* value : {"99999999999999999", "-2082844801", "2212122496", "soon", "12x", " 5"}) {
    setenv("SOURCE_DATE_EPOCH", value, 1);
    const auto run = f.Convert(f.dir / "out.pdb", {f.dir / "day.lzh"});
    EXPECT_EQ(run.status, kExitUsage) << value;
    EXPECT_EQ(run.err.rfind("kelvane: SOURCE_DATE_EPOCH: ", 0), 0u) << run.err;
  }
  for (const char* value : {"-2082844800", "2212122495"}) {
    setenv("SOURCE_DATE_EPOCH", value, 1);
    EXPECT_EQ(f.Convert(f.dir / "out.pdb", {f.dir / "day.lzh"}).status, kExitOk) << value;
  }
  unsetenv("SOURCE_DATE_EPOCH");
}

// A missing output folder is found before a season is unpacked.
TEST(ConvertArguments, AnOutputFolderThatIsMissingIsFoundBeforeUnpacking) {
  Folder f;
  std::vector<std::string> archives;
  for (int i = 0; i < 200; ++i) {
    archives.push_back(f.dir / ("day" + std::to_string(i) + ".lzh"));
    fs::copy_file(Sample(), archives.back());
  }
  const std::string output = f.dir / "no/such/dir/x.pdb";
  const auto run = f.Convert(output, archives);
  EXPECT_EQ(run.status, kExitNotWritten);
  EXPECT_EQ(run.err, "kelvane: " + output + " には無効なﾊﾟｽが含まれています。\n");
  EXPECT_FALSE(fs::exists(f.dir / "work"));
}

// A symbolic link at the output is written through, however many links lead to the
// file: the file at the end gets the database, in its own folder, and the links stay.
TEST(ConvertArguments, AnOutputLinkIsWrittenThrough) {
  Folder f;
  fs::create_directory(f.dir / "synced");
  test::WriteFileBytes(f.dir / "synced/races.pdb", "old");
  fs::create_symlink("synced/races.pdb", f.dir / "link.pdb");
  fs::create_symlink("link.pdb", f.dir / "link-to-link.pdb");
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  ASSERT_EQ(f.Convert(f.dir / "plain.pdb", {f.dir / "day.lzh"}).status, kExitOk);
  for (const char* link : {"link.pdb", "link-to-link.pdb"}) {
    SCOPED_TRACE(link);
    test::WriteFileBytes(f.dir / "synced/races.pdb", "old");
    ASSERT_EQ(f.Convert(f.dir / link, {f.dir / "day.lzh"}).status, kExitOk);
    EXPECT_TRUE(fs::is_symlink(f.dir / "link.pdb") && fs::is_symlink(f.dir / "link-to-link.pdb"));
    EXPECT_EQ(ReadFileBytes(f.dir / "synced/races.pdb"), ReadFileBytes(f.dir / "plain.pdb"));
    EXPECT_EQ(std::distance(fs::directory_iterator(f.dir / "synced"), {}), 1);
  }
  unsetenv("SOURCE_DATE_EPOCH");
}

// However many archives unpack at once, the database and the messages are the same,
// in the order given; a count that is not 1 to 64 is refused.
TEST(ConvertArguments, TheThreadsChangeNothingButTheTimeTaken) {
  Folder f;
  std::vector<std::string> archives;
  for (int i = 0; i < 7; ++i) {
    archives.push_back(f.dir / ("day" + std::to_string(i) + ".lzh"));
    if (i == 3) {
      test::WriteFileBytes(archives.back(), "not an archive");
    } else {
      fs::copy_file(f.dir / "day.lzh", archives.back());
    }
  }
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  std::vector<test::CliRun> runs;
  for (const char* threads : {"1", "2", "7", "64"}) {
    std::vector<std::string> args{"convert", "--threads", threads, "--work-dir", f.dir / "work", "-o",
                                  f.dir / (std::string(threads) + ".pdb")};
    args.insert(args.end(), archives.begin(), archives.end());
    runs.push_back(RunKelvane(args));
    EXPECT_EQ(runs.back().status, kExitWithMessages) << threads;
    EXPECT_EQ(runs.back().err, runs.front().err) << threads;
    EXPECT_TRUE(ReadFileBytes(f.dir / (std::string(threads) + ".pdb")) == ReadFileBytes(f.dir / "1.pdb"));
  }
  unsetenv("SOURCE_DATE_EPOCH");
  for (const char* threads : {"0", "65", "x", "", "-1"}) {
    const auto run = RunKelvane({"convert", "--threads", threads, "-o", f.dir / "out.pdb", f.dir / "day.lzh"});
    EXPECT_EQ(run.status, kExitUsage) << threads;
  }
}

// A FIFO named as an archive is not waited on: it is not an archive.
TEST(ConvertArguments, AFifoNamedAsAnArchiveIsNotWaitedFor) {
  const test::Deadline deadline(std::chrono::seconds(20), "a run given a FIFO as archive");
  Folder f;
  ASSERT_EQ(mkfifo((f.dir / "fifo.lzh").c_str(), 0600), 0);
  const auto run = f.Convert(f.dir / "out.pdb", {f.dir / "fifo.lzh"});
  EXPECT_EQ(run.status, kExitWithMessages);
  EXPECT_EQ(run.err, "kelvane: " + f.dir / "fifo.lzh" + ": ファイル 'fifo.lzh' は書庫ではありません\n");
}

}  // namespace
}  // namespace kelvane
