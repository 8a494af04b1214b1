#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_run.h"
#include "support/jravan_builder.h"
#include "support/lha_writer.h"
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

// Nine archives, seven of them failing in six ways: every failure is printed, each
// line naming its archive, and the race and horse where there is one.
TEST(Cli, EveryFailureIsPrintedWithWhereItHappened) {
  ScopedTempDir dir;
  const auto race = [](int number, const std::string& horseId) {
    return test::RaceCardLine{.year = 2003, .monthDay = 1228, .racecourseCode = "06",
                              .raceNumber = number, .entries = {{.horseId = horseId}}};
  };
  std::string card;
  for (int r = 1; r <= 4; ++r) card += test::RaceCardLineBytes(race(r, "2001100001")) + "\r\n";
  std::string junkRace3 = card;
  junkRace3[2 * (card.size() / 4) + 20] = '\x01';
  const std::string horses = test::HorseRegisterFile({{.key = "2001100001", .birthYear = 2000}});
  const auto archive = [&](const std::string& name, std::vector<test::LhaEntry> entries) {
    test::WriteFileBytes(dir / name, entries.empty() ? "not an archive" : test::PackLha(entries));
    return dir / name;
  };
  const std::vector<std::string> archives{
      archive("good.lzh", {{.name = "JracDen1.dat", .data = card}, {.name = "JracUmaj.dat", .data = horses}}),
      archive("text1.lzh", {}),
      archive("text2.lzh", {}),
      archive("nohorses1.lzh", {{.name = "JracDen1.dat", .data = card}}),
      archive("nohorses2.lzh", {{.name = "JracDen1.dat", .data = card}}),
      archive("nocard.lzh", {{.name = "JracUmaj.dat", .data = horses}}),
      archive("junk.lzh", {{.name = "JracDen1.dat", .data = junkRace3}, {.name = "JracUmaj.dat", .data = horses}}),
      archive("stranger1.lzh", {{.name = "JracDen1.dat", .data = test::RaceCardLineBytes(race(1, "2009999999"))},
                                {.name = "JracUmaj.dat", .data = horses}}),
      archive("stranger2.lzh", {{.name = "JracDen1.dat", .data = test::RaceCardLineBytes(race(2, "2009999999"))},
                                {.name = "JracUmaj.dat", .data = horses}}),
  };
  std::vector<std::string> args{"convert", "--work-dir", dir / "work", "-o", dir / "out.pdb"};
  args.insert(args.end(), archives.begin(), archives.end());
  const auto run = RunKelvane(args);
  EXPECT_EQ(run.status, kExitWithMessages);
  const std::string noHorses = ": このファイルには競走馬データがありません\n"
                               "         競走馬データが含まれている圧縮ファイルをダウンロードしてください\n";
  const std::string k = "kelvane: ";
  EXPECT_EQ(run.err,
            k + archives[1] + ": ファイル 'text1.lzh' は書庫ではありません\n" +
            k + archives[2] + ": ファイル 'text2.lzh' は書庫ではありません\n" +
            k + archives[3] + noHorses + k + archives[4] + noHorses +
            k + archives[5] + ": このファイルには出馬表データがありません\n"
                "         出馬表データが含まれている圧縮ファイルをダウンロードしてください\n" +
            k + archives[6] + ": race 3 (2003-12-28 中山 3R): 出馬表ファイルの読み込みに失敗しました\n" +
            k + archives[7] + ": race 1 (2003-12-28 中山 1R), entry 1 (horse 2009999999): "
                "登録馬ファイルの読み込みに失敗しました\n" +
            k + archives[8] + ": race 1 (2003-12-28 中山 2R), entry 1 (horse 2009999999): "
                "登録馬ファイルの読み込みに失敗しました\n");
  const std::string file = ReadFileBytes(dir / "out.pdb");
  ASSERT_GE(file.size(), 78u);
  EXPECT_EQ(file[76] * 256 + file[77], 4 + 3 + 1 + 1);  // good, junk without race 3, strangers
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
