// Archives through the whole `kelvane convert`, in the shapes other LHA programs give
// them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/cli_run.h"
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

}  // namespace
}  // namespace kelvane::test
