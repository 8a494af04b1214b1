// The database file is written as it is produced, through a small buffer, with the
// same bytes and the same failure rules as a file built whole.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <stdexcept>

#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "pdb/palm_database.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::ScopedTempDir;

std::size_t FilesIn(const ScopedTempDir& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

// Records both smaller and larger than the write buffer, in a mix.
PalmDatabase DatabaseOfMixedRecords() {
  auto db = PalmDatabase::CreateDefault(42);
  for (std::size_t i = 0; i < 40; ++i) {
    db.AddRecord(Bytes(i % 7 == 3 ? 70000 + i : 1 + 997 * i, static_cast<std::uint8_t>(i)));
  }
  return db;
}

TEST(StreamedWrite, FileHoldsExactlyTheSerializedBytes) {
  ScopedTempDir dir;
  const PalmDatabase db = DatabaseOfMixedRecords();
  db.Write(dir / "out.pdb");
  const Bytes expected = db.Serialize();
  EXPECT_EQ(ReadFileBytes(dir / "out.pdb"), std::string(expected.begin(), expected.end()));
  EXPECT_EQ(FilesIn(dir), 1u);
}

TEST(StreamedWrite, FailureAfterTheFirstBufferLeavesTheTargetAsItWas) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "out.pdb", "old");
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100000;  // past the first buffer, short of the whole file
  setrlimit(RLIMIT_FSIZE, &small);
  try {
    DatabaseOfMixedRecords().Write(dir / "out.pdb");
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileErrorCause::kDiskFull);
    EXPECT_EQ(e.path(), dir / "out.pdb");
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadFileBytes(dir / "out.pdb"), "old");
  EXPECT_EQ(FilesIn(dir), 1u);
}

TEST(StreamedWrite, ContentsThatThrowLeaveNoTemporaryFile) {
  ScopedTempDir dir;
  EXPECT_THROW(ReplaceFile(dir / "out.pdb",
                           [](ByteSink& out) {
                             const std::uint8_t byte = 1;
                             out.Append(&byte, 1);
                             throw std::runtime_error("stop");
                           }),
               std::runtime_error);
  EXPECT_EQ(FilesIn(dir), 0u);
}

}  // namespace
}  // namespace kelvane
