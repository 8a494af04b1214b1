#include "pdb/palm_database.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "pdb/spooled_database.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using test::ReadFileBytes;
using test::ScopedTempDir;

// A database of `records` made at `palmTime`, spooled in a folder of its own.
class Database {
 public:
  explicit Database(const std::vector<Bytes>& records, std::uint32_t palmTime = 0)
      : db_(PalmDatabase::CreateDefault(palmTime), OwnFolder::Open(spoolFolder_.path()), "spool-", "") {
    for (const Bytes& record : records) EXPECT_TRUE(db_.AddRecord(record));
  }
  void Write(const std::string& path) const { db_.Write(path); }

 private:
  ScopedTempDir spoolFolder_;
  SpooledDatabase db_;
};

// The file such a database writes.
Bytes Written(const std::vector<Bytes>& records, std::uint32_t palmTime = 0) {
  const ScopedTempDir dir;
  Database(records, palmTime).Write(dir / "out.pdb");
  const std::string file = ReadFileBytes(dir / "out.pdb");
  return Bytes(file.begin(), file.end());
}

std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
         (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

Bytes RecordOfLength(std::size_t n, std::uint8_t fill = 0xAB) { return Bytes(n, fill); }

TEST(PalmDatabase, EmptyDatabaseIsHeaderAndTwoZeroBytes) {
  const auto file = Written({}, 0x11223344);
  ASSERT_EQ(file.size(), 80u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 8), std::string("tzQm_DB\0", 8));
  EXPECT_TRUE(std::all_of(file.begin() + 7, file.begin() + 32, [](auto b) { return b == 0; }));
  EXPECT_EQ(file[34], 0x00);
  EXPECT_EQ(file[35], 0x02);
  EXPECT_EQ(U32At(file, 36), 0x11223344u);
  EXPECT_EQ(U32At(file, 40), 0x11223344u);
  EXPECT_EQ(U32At(file, 44), 0x11223344u);
  EXPECT_EQ(std::string(file.begin() + 60, file.begin() + 68), "DatatzQm");
  EXPECT_TRUE(std::all_of(file.begin() + 68, file.begin() + 80, [](auto b) { return b == 0; }));
  EXPECT_EQ(U32At(file, 48), 0u);
  EXPECT_EQ(U32At(file, 52), 0u);
  EXPECT_EQ(U32At(file, 56), 0u);
}

TEST(PalmDatabase, OneRecordStartsAt88AndIsFollowedByAPadByte) {
  const auto file = Written({RecordOfLength(5)});
  ASSERT_EQ(file.size(), 88u + 5 + 1);
  EXPECT_EQ(U32At(file, 78), 88u);
  EXPECT_EQ(file[77], 1);  // numRecords
  EXPECT_EQ(file[88], 0xAB);
  EXPECT_EQ(file.back(), 0x00);
}

// Each record moves the data behind the entry list on by one entry.
TEST(PalmDatabase, OffsetsMoveByOneEntryPerRecord) {
  EXPECT_EQ(U32At(Written({RecordOfLength(10)}), 78), 88u);
  EXPECT_EQ(U32At(Written({RecordOfLength(10), RecordOfLength(20)}), 78), 96u);
  const auto file = Written({RecordOfLength(10), RecordOfLength(20), RecordOfLength(30)});
  ASSERT_EQ(file.size(), 167u);
  const std::uint32_t offsets[] = {104, 115, 136};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(U32At(file, 78 + 8 * i), offsets[i]);
    EXPECT_EQ(file[offsets[i]], 0xAB);
    EXPECT_EQ(file[offsets[i] + 10 * (i + 1)], 0x00) << "pad after record " << i;
  }
}

TEST(PalmDatabase, SettersStoreBigEndianAndCutName) {
  PalmDatabase db;
  db.SetName("0123456789012345678901234567890123456789");
  db.SetNumRecords(0x0102);
  db.SetVersion(0x02, 0x00);
  const auto& h = db.Header();
  EXPECT_EQ(h[34], 0x00);  // version 2, big-endian
  EXPECT_EQ(h[35], 0x02);
  EXPECT_EQ(std::string(h.begin(), h.begin() + 32), "01234567890123456789012345678901");
  EXPECT_EQ(h[32], 0);  // the cut name has no terminator of its own
  EXPECT_EQ(db.GetNumRecords(), 0x0102);
  EXPECT_EQ(h[76], 0x01);
  EXPECT_EQ(h[77], 0x02);
}

TEST(CurrentPalmTime, CountsLocalSecondsSince1904) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(CurrentPalmTime(-2082844800), 0u);
  EXPECT_EQ(CurrentPalmTime(946684800), 3029529600u);
  EXPECT_EQ(CurrentPalmTime(1700000000), 1700000000u + 2082844800u);
  // The local clock counts: 1904-01-01 00:00:00 in Tokyo is 0 as well.
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  EXPECT_EQ(CurrentPalmTime(-2082844800 - 9 * 3600), 0u);
  setenv("TZ", "UTC", 1);
  tzset();
}

TEST(PalmDatabaseWrite, MissingFolderIsAnInvalidPathAndLeavesNoFile) {
  ScopedTempDir dir;
  const std::string path = dir / "missing/out.pdb";
  try {
    Database({}).Write(path);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileErrorCause::kInvalidPath);
    EXPECT_EQ(e.path(), path);
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(PalmDatabaseWrite, ReplacesAnExistingFileWhole) {
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "out.pdb", std::string(5000, 'x'));
  Database({}).Write(dir / "out.pdb");
  EXPECT_EQ(ReadFileBytes(dir / "out.pdb").size(), 80u);
}

TEST(PalmDatabaseWrite, DirectoryInTheWayIsAccessDenied) {
  ScopedTempDir dir;
  std::filesystem::create_directory(dir / "out.pdb");
  try {
    Database({}).Write(dir / "out.pdb");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileErrorCause::kAccessDenied);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A file size limit makes the write stop part-way with EFBIG: within the first
// buffer, and after it was written.
TEST(PalmDatabaseWrite, WriteFailingPartWayLeavesTheExistingFileUntouched) {
  for (const rlim_t limit : {4'096, 100'000}) {
    SCOPED_TRACE(limit);
    ScopedTempDir dir;
    const std::string old(300, 'o');
    test::WriteFileBytes(dir / "out.pdb", old);
    const Database db({RecordOfLength(20000), RecordOfLength(70000), RecordOfLength(30000)});
    db.Write("/dev/null");  // the spool is all on disk before the limit is set

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
    try {
      db.Write(dir / "out.pdb");
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_EQ(e.cause(), FileErrorCause::kDiskFull);
      EXPECT_EQ(e.path(), dir / "out.pdb");
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(ReadFileBytes(dir / "out.pdb"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

TEST(PalmDatabaseWrite, ContentsThatThrowLeaveNoTemporaryFile) {
  ScopedTempDir dir;
  EXPECT_THROW(ReplaceFile(dir / "out.pdb",
                           [](ByteSink& out) {
                             const std::uint8_t byte = 1;
                             out.Append(&byte, 1);
                             throw std::runtime_error("stop");
                           }),
               std::runtime_error);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace kelvane
