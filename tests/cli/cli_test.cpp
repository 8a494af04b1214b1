#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::RunKelvane;
using test::ScopedTempDir;

TEST(Cli, ConvertWithNoArchivesWritesAReproducibleEmptyDatabase) {
  ScopedTempDir dir;
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  const auto run = RunKelvane({"convert", "--work-dir", dir.path(), "-o", dir / "out.pdb"});
  unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.err, "");
  const std::string file = ReadFileBytes(dir / "out.pdb");
  ASSERT_EQ(file.size(), 80u);
  const std::uint32_t expected = 1700000000u + 2082844800u;
  for (std::size_t at : {36, 40, 44}) {
    const auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(file[at + i]); };
    EXPECT_EQ((std::uint32_t{b(0)} << 24) | (b(1) << 16) | (b(2) << 8) | b(3), expected);
  }
}

TEST(Cli, UnwritableOutputExitsThreeWithTheInvalidPathText) {
  ScopedTempDir dir;
  const auto run = RunKelvane({"convert", "--work-dir", dir.path(), "-o", "/no/such/dir/out.pdb"});
  EXPECT_EQ(run.status, kExitNotWritten);
  EXPECT_EQ(run.err, "kelvane: /no/such/dir/out.pdb には無効なﾊﾟｽが含まれています。\n");
}

TEST(Cli, AnArchiveNamedTwiceIsConvertedOnce) {
  ScopedTempDir dir;
  const std::string sample =
      std::string(std::getenv("KELVANE_SOURCE_DIR")) + "/samples/20031228-06-nakayama.lzh";
  const auto run = RunKelvane(
      {"convert", "--work-dir", dir.path(), "-o", dir / "out.pdb", sample, "--", sample});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  const std::string file = ReadFileBytes(dir / "out.pdb");
  ASSERT_GE(file.size(), 78u);
  EXPECT_EQ(file[76] * 256 + file[77], 12);  // one meeting day, not two
}

TEST(Cli, UsageErrorsExitTwo) {
  EXPECT_EQ(RunKelvane({}).status, kExitUsage);
  EXPECT_EQ(RunKelvane({"frobnicate"}).status, kExitUsage);
  EXPECT_EQ(RunKelvane({"convert", "a.lzh"}).status, kExitUsage);
  EXPECT_EQ(RunKelvane({"convert", "-o"}).status, kExitUsage);
  const auto bad = RunKelvane({"convert", "--bogus", "-o", "x.pdb"});
  EXPECT_EQ(bad.status, kExitUsage);
  EXPECT_NE(bad.err.find("--bogus"), std::string::npos);
}

TEST(Cli, HelpAndVersion) {
  const auto help = RunKelvane({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("kelvane convert"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_EQ(RunKelvane({"--version"}).out.rfind("kelvane ", 0), 0u);
}

}  // namespace
}  // namespace kelvane
