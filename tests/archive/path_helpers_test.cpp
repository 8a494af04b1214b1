#include "archive/path_helpers.h"

#include <gtest/gtest.h>

#include <utility>


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
  const std::pair<const char*, const char*> cases[] = {
      {"0921.lzh", "0921"},
      {"a.b.lzh", "a.b"},
      {"abc.", "abc"},
      {"出馬表.lzh", "出馬表"},
      {"noextension", "noextension"},
      {"/a.dir/file", "/a.dir/file"},
      {"/a.dir/file.lzh", "/a.dir/file"},
      // A name whose only dot starts it has no extension.
      {".lzh", ".lzh"},
      {"/home/.lzh", "/home/.lzh"},
      {".hidden.lzh", ".hidden"},
  };
  for (const auto& [name, stem] : cases) EXPECT_EQ(PathStem(name), stem) << name;
}

}  // namespace
}  // namespace kelvane
