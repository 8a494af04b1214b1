#include "pdb/spooled_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/in_memory_database.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::ScopedTempDir;

// Spooled records give the very bytes of the same records held in memory, records
// smaller and larger than the write buffer alike, whether the spool is copied after
// the header or becomes the file itself (many times the room moved at a time), over
// an existing file; and so when room for the header was made halfway for the right
// count, or for a wrong one (too many, too few) that the end has to set right.
TEST(SpooledDatabase, WritesWhatTheDatabaseInMemoryWrites) {
  for (const bool inPlace : {false, true}) {
    for (const std::size_t count : {0u, 1u, 3u, 700u}) {
      // How far off the count that room is made for is, when room is made.
      for (const std::optional<int> miscount :
           {std::optional<int>(), std::optional(0), std::optional(17), std::optional(-1)}) {
        if (count == 0 && miscount == -1) continue;
        const bool roomMade = miscount.has_value();
        const std::size_t roomFor = count + static_cast<std::size_t>(miscount.value_or(0));
        SCOPED_TRACE(std::to_string(count) + (inPlace ? " records, the spool put in place" : " records") +
                     (roomMade ? ", room made for " + std::to_string(roomFor) : ""));
        ScopedTempDir dir;
        test::WriteFileBytes(dir / "out.pdb", "old");
        test::InMemoryDatabase held(3'786'000'000u);
        SpooledDatabase spooled(PalmDatabase::CreateDefault(3'786'000'000u), OwnFolder::Open(dir.path()), "spool", "");
        for (std::size_t i = 0; i < count; ++i) {
          if (roomMade && i == count / 2) spooled.MakeRoomFor(roomFor);
          const Bytes record(i % 7 == 3 ? 70000 + i : 152 + 1116 * (i % 19), static_cast<std::uint8_t>(i));
          ASSERT_TRUE(spooled.AddRecord(record));
          ASSERT_TRUE(held.AddRecord(record));
        }
        if (roomMade && count == 0) spooled.MakeRoomFor(roomFor);
        if (inPlace) {
          spooled.PutInPlace(dir / "out.pdb");
        } else {
          spooled.Write(dir / "out.pdb");
        }
        const Bytes expected = held.Serialize();
        EXPECT_TRUE(ReadFileBytes(dir / "out.pdb") == std::string(expected.begin(), expected.end()));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), inPlace ? 1 : 2);
      }
    }
  }
}

// A spool put in place that is asked to stop before it takes the output's place
// leaves the old output, and goes with the database.
TEST(SpooledDatabase, AStopBeforeThePlaceIsTakenLeavesTheOldOutput) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "out.pdb", "old");
  {
    SpooledDatabase spooled(PalmDatabase::CreateDefault(0), OwnFolder::Open(dir.path()), "spool", "");
    ASSERT_TRUE(spooled.AddRecord(Bytes(5000, 7)));
    EXPECT_THROW(spooled.PutInPlace(dir / "out.pdb", [] { return true; }), WriteStopped);
  }
  EXPECT_EQ(ReadFileBytes(dir / "out.pdb"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SpooledDatabase, CountsNoMoreRecordsThanTheHeaderCan) {
  ScopedTempDir dir;
  SpooledDatabase spooled(PalmDatabase::CreateDefault(0), OwnFolder::Open(dir.path()), "spool", "");
  for (std::size_t i = 0; i < kMaxRecords; ++i) ASSERT_TRUE(spooled.AddRecord({1}));
  EXPECT_FALSE(spooled.AddRecord({1}));
  EXPECT_EQ(spooled.RecordCount(), kMaxRecords);
}

// The spool is a file of its own under a fresh name, and goes with the database.
TEST(SpooledDatabase, SpoolsIntoAFileOfItsOwnThatGoesWithIt) {
  ScopedTempDir dir;
  {
    SpooledDatabase spooled(PalmDatabase::CreateDefault(0), OwnFolder::Open(dir.path()), "spool-", "");
    spooled.AddRecord({1, 2, 3});
    const auto entries = std::vector(std::filesystem::directory_iterator(dir.path()), {});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path().filename().string().rfind("spool-", 0), 0u);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace kelvane
