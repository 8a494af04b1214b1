#include "pdb/spooled_database.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_error.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::ScopedTempDir;

// Spooled records give the very bytes of the same records held in memory.
TEST(SpooledDatabase, WritesWhatTheDatabaseInMemoryWrites) {
  for (const std::size_t count : {0u, 1u, 3u, 700u}) {
    ScopedTempDir dir;
    PalmDatabase held = PalmDatabase::CreateDefault(3'786'000'000u);
    SpooledDatabase spooled(PalmDatabase::CreateDefault(3'786'000'000u), OwnFolder::Open(dir.path()), "spool");
    for (std::size_t i = 0; i < count; ++i) {
      const Bytes record(152 + 1116 * (i % 19), static_cast<std::uint8_t>(i));
      ASSERT_TRUE(spooled.AddRecord(record));
      ASSERT_TRUE(held.AddRecord(record));
    }
    spooled.Write(dir / "out.pdb");
    const Bytes expected = held.Serialize();
    EXPECT_TRUE(ReadFileBytes(dir / "out.pdb") == std::string(expected.begin(), expected.end()))
        << count << " records";
  }
}

TEST(SpooledDatabase, CountsNoMoreRecordsThanTheHeaderCan) {
  ScopedTempDir dir;
  SpooledDatabase spooled(PalmDatabase::CreateDefault(0), OwnFolder::Open(dir.path()), "spool");
  for (std::size_t i = 0; i < kMaxRecords; ++i) ASSERT_TRUE(spooled.AddRecord({1}));
  EXPECT_FALSE(spooled.AddRecord({1}));
  EXPECT_EQ(spooled.RecordCount(), kMaxRecords);
}

// The spool is a file of its own, made new: a file or a link already at its name is
// refused and left as it was; the spool goes with the database.
TEST(SpooledDatabase, SpoolsIntoAFileOfItsOwnThatGoesWithIt) {
  ScopedTempDir dir;
  const OwnFolder folder = OwnFolder::Open(dir.path());
  test::WriteFileBytes(dir / "theirs", "theirs");
  std::filesystem::create_symlink(dir / "theirs", dir / "link");
  for (const char* taken : {"theirs", "link"}) {
    EXPECT_THROW(SpooledDatabase(PalmDatabase::CreateDefault(0), folder, taken), FileError) << taken;
  }
  EXPECT_EQ(ReadFileBytes(dir / "theirs"), "theirs");
  {
    SpooledDatabase spooled(PalmDatabase::CreateDefault(0), folder, "spool");
    spooled.AddRecord({1, 2, 3});
    EXPECT_TRUE(std::filesystem::exists(dir / "spool"));
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "spool"));
}

}  // namespace
}  // namespace kelvane
