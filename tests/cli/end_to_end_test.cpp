// From .lzh archives to the bytes of the database, through the `kelvane` command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "cli/cli_run.h"
#include "codes/cp932.h"
#include "pdb/race_database_reader.h"
#include "support/jravan_builder.h"
#include "support/lha_writer.h"
#include "support/sample_archives.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::CliRun;
using test::ReadFileBytes;
using test::ScopedTempDir;

std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("KELVANE_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/" + relative;
}

// Compares `actual` with a committed file. With KELVANE_UPDATE_TEST_DATA set, writes
// `actual` there instead, for a deliberate change of output.
void ExpectSameAsCommitted(const std::string& actual, const std::string& relative) {
  if (std::getenv("KELVANE_UPDATE_TEST_DATA") != nullptr) {
    test::WriteFileBytes(SourcePath(relative), actual);
  }
  EXPECT_TRUE(actual == ReadFileBytes(SourcePath(relative)))
      << relative << " differs; if the change is meant, rerun with KELVANE_UPDATE_TEST_DATA=1";
}

// A run at a fixed clock in UTC, as a reproducible build makes it.
CliRun Kelvane(const std::vector<std::string>& args) {
  setenv("TZ", "UTC", 1);
  tzset();
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  CliRun run = test::RunKelvane(args);
  unsetenv("SOURCE_DATE_EPOCH");
  return run;
}

std::vector<std::string> SamplePaths() {
  std::vector<std::string> paths;
  for (const auto& archive : test::SampleArchives()) {
    paths.push_back(SourcePath("samples/" + archive.fileName));
  }
  return paths;
}

TEST(EndToEnd, CommittedSamplesAreWhatTheGeneratorMakes) {
  for (const auto& archive : test::SampleArchives()) {
    ExpectSameAsCommitted(archive.bytes, "samples/" + archive.fileName);
  }
}

TEST(EndToEnd, SampleArchivesConvertToTheCommittedDatabase) {
  ScopedTempDir dir;
  std::vector<std::string> args{"convert", "--work-dir", dir.path(), "-o", dir / "races.pdb"};
  for (const auto& path : SamplePaths()) args.push_back(path);
  const CliRun convert = Kelvane(args);
  EXPECT_EQ(convert.err, "");
  ASSERT_EQ(convert.status, kExitOk);
  ExpectSameAsCommitted(ReadFileBytes(dir / "races.pdb"), "tests/data/samples.pdb");
  EXPECT_TRUE(std::filesystem::is_empty(dir / "JRA-VAN"));  // the working files are gone
}

TEST(EndToEnd, SampleDatabaseDumpsReadably) {
  const CliRun dump = Kelvane({"dump", SourcePath("tests/data/samples.pdb")});
  EXPECT_EQ(dump.err, "");
  ASSERT_EQ(dump.status, kExitOk);
  ExpectSameAsCommitted(dump.out, "tests/data/samples-dump.txt");
}

// An archive of one race whose only runner is horse 2001100001 named `horseName`.
std::string OneHorseArchive(const std::string& horseName) {
  const test::RaceCardLine race{.year = 2003, .monthDay = 1228, .racecourseCode = "06",
                                .raceNumber = 1, .raceName = "テスト",
                                .entries = {{.horseNumber = 1, .horseId = "2001100001",
                                             .horseName = horseName}}};
  const test::HorseRecord horse{.key = "2001100001", .horseName = horseName, .birthYear = 2001};
  return test::PackLha({{.name = "JracDen1.dat", .data = test::RaceCardFile({race})},
                        {.name = "JracUmaj.dat", .data = test::HorseRegisterFile({horse})}});
}

TEST(EndToEnd, ArchivesOfTheSameNameInDifferentFoldersEachGetTheirOwnHorses) {
  ScopedTempDir dir;
  std::filesystem::create_directories(dir / "a");
  std::filesystem::create_directories(dir / "b");
  test::WriteFileBytes(dir / "a/0921.lzh", OneHorseArchive("アルファ"));
  test::WriteFileBytes(dir / "b/0921.lzh", OneHorseArchive("ブラボー"));

  const CliRun convert = Kelvane({"convert", "--work-dir", dir.path(), "-o", dir / "races.pdb",
                               dir / "a/0921.lzh", dir / "b/0921.lzh"});
  EXPECT_EQ(convert.err, "");
  ASSERT_EQ(convert.status, kExitOk);

  const std::string file = ReadFileBytes(dir / "races.pdb");
  std::string problem;
  const auto db = ReadRaceDatabase(Bytes(file.begin(), file.end()), problem);
  ASSERT_TRUE(db) << problem;
  ASSERT_EQ(db->races.size(), 2u);
  EXPECT_EQ(db->races[0].runners.at(0).horseName, Utf8ToCp932("アルファ"));
  EXPECT_EQ(db->races[1].runners.at(0).horseName, Utf8ToCp932("ブラボー"));
}

}  // namespace
}  // namespace kelvane
