#include "archive/path_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace kelvane {
namespace {

TEST(PathFileName, IsTheLastComponent) {
  EXPECT_EQ(PathFileName("/home/user/0921.lzh"), "0921.lzh");
  EXPECT_EQ(PathFileName("0921.lzh"), "0921.lzh");
  EXPECT_EQ(PathFileName("/home/user/"), "");
  EXPECT_EQ(PathFileName("/レース/出馬表.lzh"), "出馬表.lzh");
  EXPECT_EQ(PathFileName("a\\b.lzh"), "a\\b.lzh");  // '\' is a plain character here
}

TEST(PathFolder, EndsWithItsSeparator) {
  EXPECT_EQ(PathFolder("/home/user/0921.lzh"), "/home/user/");
  EXPECT_EQ(PathFolder("0921.lzh"), "");
  EXPECT_EQ(PathFolder("/home/user/"), "/home/user/");
  EXPECT_EQ(PathFolder("/レース 表/出馬表.lzh"), "/レース 表/");
}

TEST(PathStem, CutsTheLastExtensionOfTheLastComponent) {
  EXPECT_EQ(PathStem("0921.lzh"), "0921");
  EXPECT_EQ(PathStem("a.b.lzh"), "a.b");
  EXPECT_EQ(PathStem("abc."), "abc");
  EXPECT_EQ(PathStem("出馬表.lzh"), "出馬表");
  EXPECT_EQ(PathStem("noextension"), "noextension");
  EXPECT_EQ(PathStem("/a.dir/file"), "/a.dir/file");
  EXPECT_EQ(PathStem("/a.dir/file.lzh"), "/a.dir/file");
}

TEST(PathStem, LeavesANameStartingWithItsOnlyDotWhole) {
  EXPECT_EQ(PathStem(".lzh"), ".lzh");
  EXPECT_EQ(PathStem("/home/.lzh"), "/home/.lzh");
  EXPECT_EQ(PathStem(".hidden.lzh"), ".hidden");
}

TEST(FileExists, SeesFilesFoldersAndLinksOfAnyKind) {
  test::ScopedTempDir temp;
  test::WriteFileBytes(temp / "file", "x");
  std::filesystem::create_symlink(temp / "nowhere", temp / "dangling");
  EXPECT_TRUE(FileExists(temp / "file"));
  EXPECT_TRUE(FileExists(temp.path()));
  EXPECT_TRUE(FileExists(temp / "dangling"));
  EXPECT_FALSE(FileExists(temp / "missing"));
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
}  // namespace kelvane
