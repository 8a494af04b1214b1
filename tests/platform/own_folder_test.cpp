// A folder held open: nothing found in it is followed, opened or written through.
#include "platform/own_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "platform/file_error.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::ScopedTempDir;
using test::WriteFileBytes;

// Someone else's things planted at the name "x", and what stays outside.
struct Planted {
  const char* what;
  std::function<void(const ScopedTempDir&)> plant;
};

const Planted kPlanted[] = {
    {"a file", [](const ScopedTempDir& d) { WriteFileBytes(d / "in/x", "theirs"); }},
    {"a folder", [](const ScopedTempDir& d) { fs::create_directory(d / "in/x"); }},
    {"a link to a file", [](const ScopedTempDir& d) { fs::create_symlink(d / "outside/file", d / "in/x"); }},
    {"a link to a folder", [](const ScopedTempDir& d) { fs::create_directory_symlink(d / "outside", d / "in/x"); }},
    {"a dangling link", [](const ScopedTempDir& d) { fs::create_symlink(d / "nowhere", d / "in/x"); }},
    {"a FIFO", [](const ScopedTempDir& d) { mkfifo((d / "in/x").c_str(), 0600); }},
};

// Calls check(dir, folder) for each of the planted things at "x" in the folder "in"
// of `dir`, beside a folder "outside" with a file.
template <typename Check>
void ForEachPlanted(Check check) {
  for (const Planted& planted : kPlanted) {
    SCOPED_TRACE(planted.what);
    const ScopedTempDir dir;
    fs::create_directory(dir / "in");
    fs::create_directory(dir / "outside");
    WriteFileBytes(dir / "outside/file", "outside");
    planted.plant(dir);
    check(dir, OwnFolder::Open(dir / "in"));
  }
}

TEST(OwnFolder, WhatIsPlantedIsSeenButNeverFollowedOrTaken) {
  ForEachPlanted([](const ScopedTempDir& dir, const OwnFolder& folder) {
    EXPECT_TRUE(folder.Contains("x"));
    EXPECT_THROW(folder.CreateFile("x"), FileError);
    EXPECT_THROW(folder.MakeFolder("x"), FileError);
    if (!fs::is_directory(fs::symlink_status(dir / "in/x"))) {
      EXPECT_FALSE(folder.OpenFolder("x"));
      if (!fs::is_regular_file(fs::symlink_status(dir / "in/x"))) {
        EXPECT_THROW(folder.ReadFile("x"), FileError);
      }
    }
    folder.Remove("x");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "in/x")));
    EXPECT_EQ(ReadFileBytes(dir / "outside/file"), "outside");
    EXPECT_TRUE(folder.Names().empty());
  });
}

// The working root: a link, FIFO or device at its name is not ours and goes; a plain
// file is somebody's data and stays, refused.
TEST(OwnFolder, TheRootIsMadeInPlaceOfWhatIsNotOursAndRefusesAFile) {
  ForEachPlanted([](const ScopedTempDir& dir, const OwnFolder& folder) {
    const bool file = fs::is_regular_file(fs::symlink_status(dir / "in/x"));
    if (file) {
      EXPECT_THROW(folder.OpenOrMakeFolder("x"), FileError);
      EXPECT_EQ(ReadFileBytes(dir / "in/x"), "theirs");
    } else {
      folder.OpenOrMakeFolder("x").CreateFile("mine");
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "in/x/mine")));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "outside"), {}), 1);
  });
}

// Renaming the folder, or putting a link where it was, changes nothing for what the
// folder makes and reads: it is reached through itself, not through its path.
TEST(OwnFolder, KeepsToItselfWhenMovedOrReplacedByALink) {
  ScopedTempDir dir;
  fs::create_directories(dir / "run");
  fs::create_directories(dir / "victim");
  const OwnFolder run = OwnFolder::Open(dir / "run");
  fs::rename(dir / "run", dir / "moved");
  fs::create_directory_symlink(dir / "victim", dir / "run");
  std::fclose(run.MakeFolder("day").CreateFile("JracDen1.dat"));
  EXPECT_TRUE(fs::exists(dir / "moved/day/JracDen1.dat"));
  EXPECT_TRUE(fs::is_empty(dir / "victim"));
  run.RemoveEverything();
  EXPECT_TRUE(fs::is_empty(dir / "moved"));
}

// A locked file of a prefix takes the place of one a killed process left (its lock
// free), never of one in use or of anything else.
TEST(OwnFolder, ALockedFileTakesThePlaceOfOnesLeftByKilledRuns) {
  ScopedTempDir dir;
  const OwnFolder folder = OwnFolder::Open(dir.path());
  for (const char* name : {".spool-left", ".spool-inuse", "other", ".spoo"}) WriteFileBytes(dir / name, "x");
  const int inUse = open((dir / ".spool-inuse").c_str(), O_RDONLY);
  ASSERT_EQ(flock(inUse, LOCK_EX), 0);
  const auto [file, name] = folder.CreateLockedFile(".spool-");
  std::fclose(file);
  close(inUse);
  EXPECT_EQ(name.size(), std::string(".spool-").size() + 12);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{".spool-inuse", "other", ".spoo", name}));
}

TEST(OwnFolder, OthersCanChangeAFolderTheyMayWriteInUnlessItIsSticky) {
  ScopedTempDir dir;
  const OwnFolder folder = OwnFolder::Open(dir.path());
  const std::pair<fs::perms, bool> modes[] = {
      {fs::perms::owner_all, false},
      {fs::perms::owner_all | fs::perms::group_read | fs::perms::others_exec, false},
      {fs::perms::owner_all | fs::perms::group_write, true},
      {fs::perms::all, true},
      {fs::perms::all | fs::perms::sticky_bit, false},
  };
  for (const auto& [mode, othersCanChange] : modes) {
    fs::permissions(dir.path(), mode);
    EXPECT_EQ(folder.OthersCanChange(), othersCanChange) << static_cast<int>(mode);
  }
  fs::permissions(dir.path(), fs::perms::owner_all);
}

}  // namespace
}  // namespace kelvane
