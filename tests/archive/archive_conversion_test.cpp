// Archives through the whole `kelvane convert`: in the shapes other LHA programs give
// them, and at the full size of a race day.
#include <gtest/gtest.h>

#include <cstdlib>

#include "bench/season.h"
#include "cli/cli_run.h"
#include "pdb/race_database_reader.h"
#include "support/lha_fixtures.h"
#include "support/temp_dir.h"

namespace kelvane::test {
namespace {

// Converts the archive at `archive` into dir/races.pdb at a fixed clock, so that two
// conversions of the same races give the same bytes.
CliRun Convert(const ScopedTempDir& dir, const std::string& archive) {
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  CliRun run = RunKelvane({"convert", "--work-dir", dir.path(), "-o", dir / "races.pdb", archive});
  unsetenv("SOURCE_DATE_EPOCH");
  return run;
}

TEST(ArchivesAsOtherProgramsWriteThem, ConvertAsThePlainArchiveOrCannotBeUnpacked) {
  ScopedTempDir dir;
  WriteFileBytes(dir / "plain.lzh", PackLha(FixtureDay()));
  ASSERT_EQ(Convert(dir, dir / "plain.lzh").status, kExitOk);
  const std::string plainDatabase = ReadFileBytes(dir / "races.pdb");

  for (const auto& fixture : LhaFixtures()) {
    SCOPED_TRACE(fixture.fileName);
    const std::string path = std::string(KELVANE_LHA_FIXTURES) + "/kelvane/" + fixture.fileName;
    const CliRun run = Convert(dir, path);
    if (fixture.holdsTheDay) {
      EXPECT_EQ(run.err, "");
      EXPECT_EQ(run.status, kExitOk);
      EXPECT_TRUE(ReadFileBytes(dir / "races.pdb") == plainDatabase) << "another database";
    } else {
      EXPECT_EQ(run.err, "kelvane: " + path + ": ファイルを解凍できませんでした\n");
      EXPECT_EQ(run.status, kExitWithMessages);
    }
  }
}

// A day of real size (36 races, 600 horses, -lh5- data of megabytes), so that the
// sanitized build converts one too.
TEST(FullSizeRaceDay, ConvertsEveryRaceAndRunner) {
  const bench::SeasonArchive day = bench::MakeSeasonArchive({.archives = 1, .races = 36, .horses = 600}, 0);
  ScopedTempDir dir;
  WriteFileBytes(dir / day.fileName, day.bytes);
  const CliRun run = Convert(dir, dir / day.fileName);
  EXPECT_EQ(run.err, "");
  ASSERT_EQ(run.status, kExitOk);

  const std::string file = ReadFileBytes(dir / "races.pdb");
  std::string problem;
  const auto database = ReadRaceDatabase(Bytes(file.begin(), file.end()), problem);
  ASSERT_TRUE(database) << problem;
  ASSERT_EQ(database->races.size(), 36u);
  std::size_t runners = 0;
  for (const auto& race : database->races) runners += race.runners.size();
  EXPECT_EQ(runners, static_cast<std::size_t>(day.runners));
}

}  // namespace
}  // namespace kelvane::test
