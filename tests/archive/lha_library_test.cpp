// Unpacking archives written by the test writer: names, sizes, hostile entries.
#include "archive/lha_library.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include <sys/stat.h>

#include "folder_listing.h"
#include "platform/file_error.h"
#include "support/lha_writer.h"
#include "support/temp_dir.h"

namespace kelvane::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A temp folder holding the archive and, beside it, the folder it unpacks into.
class UnpackTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(folder_); }

  UnpackStatus Unpack(const std::vector<LhaEntry>& entries, LhaMethod method = LhaMethod::kLh5,
                      int level = 2) {
    WriteFileBytes(archive_, PackLha(entries, method, level));
    return UnpackArchive();
  }
  UnpackStatus UnpackArchive() const { return UnpackLhaArchive(archive_, OwnFolder::Open(folder_)); }
  std::set<std::string> Unpacked() const { return EverythingUnder(folder_); }
  std::string Read(const std::string& name) const { return ReadFileBytes(folder_ + name); }

  ScopedTempDir temp_;
  const std::string archive_ = temp_ / "archive.lzh";
  const std::string folder_ = temp_ / "out/";
};

TEST_F(UnpackTest, EveryMethodAndHeaderLevelUnpacksFlatAndByteExact) {
  const std::string big(200000, 'r');
  for (const auto method : {LhaMethod::kStored, LhaMethod::kLh5, LhaMethod::kLh6, LhaMethod::kLh7}) {
    for (int level = 0; level <= 2; ++level) {
      SCOPED_TRACE(std::to_string(static_cast<int>(method)) + "/" + std::to_string(level));
      fs::remove_all(folder_);
      fs::create_directory(folder_);
      const char* nested = level == 0 ? "data\\big.dat" : "data/big.dat";
      ASSERT_EQ(Unpack({{.name = "small.dat", .data = "abc"}, {.name = nested, .data = big}}, method,
                       level),
                UnpackStatus::kUnpacked);
      EXPECT_EQ(Unpacked(), (std::set<std::string>{"small.dat", "big.dat"}));
      EXPECT_EQ(Read("small.dat"), "abc");
      EXPECT_TRUE(Read("big.dat") == big);
    }
  }
}

// Files written over the spares of an earlier archive, larger and smaller than the
// new ones, hold exactly the new bytes; the spares are used up, not copied.
TEST_F(UnpackTest, FilesWrittenOverSparesHoldOnlyTheirOwnBytes) {
  fs::create_directory(temp_ / "spare");
  SpareFiles spares(OwnFolder::Open(temp_ / "spare"));
  ASSERT_EQ(Unpack({{.name = "a.dat", .data = std::string(300000, 'a')}, {.name = "b.dat", .data = "b"}}),
            UnpackStatus::kUnpacked);
  spares.Keep(OwnFolder::Open(folder_));
  EXPECT_TRUE(Unpacked().empty());
  WriteFileBytes(archive_, PackLha({{.name = "c.dat", .data = "cc"}, {.name = "d.dat", .data = std::string(5000, 'd')}}));
  ASSERT_EQ(UnpackLhaArchive(archive_, OwnFolder::Open(folder_), {}, &spares), UnpackStatus::kUnpacked);
  EXPECT_EQ(Unpacked(), (std::set<std::string>{"c.dat", "d.dat"}));
  EXPECT_EQ(Read("c.dat"), "cc");
  EXPECT_TRUE(Read("d.dat") == std::string(5000, 'd'));
  EXPECT_TRUE(fs::is_empty(temp_ / "spare"));
}

// A file is written over the spare that had its name where there is one, so that
// the room of each is kept as it is.
TEST_F(UnpackTest, AFileIsWrittenOverTheSpareOfItsName) {
  const auto inodeOf = [&](const std::string& name) {
    struct stat st {};
    return ::stat((folder_ + name).c_str(), &st) == 0 ? st.st_ino : 0;
  };
  fs::create_directory(temp_ / "spare");
  SpareFiles spares(OwnFolder::Open(temp_ / "spare"));
  ASSERT_EQ(Unpack({{.name = "a.dat", .data = "a"}, {.name = "b.dat", .data = "b"}}), UnpackStatus::kUnpacked);
  const auto a = inodeOf("a.dat");
  const auto b = inodeOf("b.dat");
  spares.Keep(OwnFolder::Open(folder_));
  for (const auto& order : {std::vector<std::string>{"a.dat", "b.dat"}, std::vector<std::string>{"b.dat", "a.dat"}}) {
    WriteFileBytes(archive_, PackLha({{.name = order[0], .data = "1"}, {.name = order[1], .data = "2"}}));
    ASSERT_EQ(UnpackLhaArchive(archive_, OwnFolder::Open(folder_), {}, &spares), UnpackStatus::kUnpacked);
    EXPECT_EQ(inodeOf("a.dat"), a);
    EXPECT_EQ(inodeOf("b.dat"), b);
    spares.Keep(OwnFolder::Open(folder_));
  }
}

// Discarded spares are gone at once, and no file is kept as a spare after that: it
// stays where it is, for its folder's removal.
TEST_F(UnpackTest, DiscardedSparesAreRemovedAndNoneAreKeptAfter) {
  fs::create_directory(temp_ / "spare");
  SpareFiles spares(OwnFolder::Open(temp_ / "spare"));
  ASSERT_EQ(Unpack({{.name = "a.dat", .data = "a"}, {.name = "b.dat", .data = "b"}}), UnpackStatus::kUnpacked);
  spares.Keep(OwnFolder::Open(folder_));
  spares.Discard();
  EXPECT_TRUE(fs::is_empty(temp_ / "spare"));
  ASSERT_EQ(UnpackLhaArchive(archive_, OwnFolder::Open(folder_), {}, &spares), UnpackStatus::kUnpacked);
  spares.Keep(OwnFolder::Open(folder_));
  EXPECT_EQ(Unpacked(), (std::set<std::string>{"a.dat", "b.dat"}));
  EXPECT_TRUE(fs::is_empty(temp_ / "spare"));
}

// A folder kept as a spare is the next folder made, under its new name and empty,
// whatever was put in it meanwhile; once the spares are discarded, a folder given to
// keep is removed, and folders are made new.
TEST_F(UnpackTest, AFolderKeptIsMadeAgainEmptyUntilTheSparesAreDiscarded) {
  const auto inodeOf = [&](const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  fs::create_directory(temp_ / "spare");
  SpareFiles spares(OwnFolder::Open(temp_ / "spare"));
  const OwnFolder parent = OwnFolder::Open(temp_.path());
  WriteFileBytes(folder_ + "a.dat", "a");
  const auto kept = inodeOf(folder_);
  spares.KeepFolder(parent, "out");
  EXPECT_FALSE(fs::exists(folder_));
  for (const auto& spare : fs::directory_iterator(temp_ / "spare")) {
    if (fs::is_directory(spare)) WriteFileBytes(spare.path() / "stray", "s");
  }
  spares.MakeFolder(parent, "next");
  EXPECT_EQ(inodeOf(temp_ / "next"), kept);
  EXPECT_TRUE(fs::is_empty(temp_ / "next"));
  fs::create_directory(temp_ / "other");
  spares.KeepFolder(parent, "other");
  spares.Discard();
  spares.KeepFolder(parent, "next");
  EXPECT_FALSE(fs::exists(temp_ / "next"));
  EXPECT_TRUE(fs::is_empty(temp_ / "spare"));
  spares.MakeFolder(parent, "new");
  EXPECT_TRUE(fs::is_directory(temp_ / "new"));
}

// Attributes other than 0x20 (a read-only file, none) in every header, and the end
// byte left off, as other LHA programs write archives.
TEST_F(UnpackTest, ArchivesAsOtherProgramsWriteThemUnpackByteExact) {
  const std::string big(200000, 'r');
  for (const auto method : {LhaMethod::kStored, LhaMethod::kLh5, LhaMethod::kLh6, LhaMethod::kLh7}) {
    for (int level = 0; level <= 3; ++level) {
      for (const auto end : {LhaEnd::kEndByte, LhaEnd::kNoEndByte}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(method)) + "/" + std::to_string(level) + "/" +
                     std::to_string(static_cast<int>(end)));
        WriteFileBytes(archive_, PackLha({{.name = "small.dat", .data = "abc", .attribute = 0x21},
                                          {.name = "big.dat", .data = big, .attribute = 0x00}},
                                         method, level, end));
        ASSERT_EQ(UnpackArchive(), UnpackStatus::kUnpacked);
        EXPECT_EQ(Read("small.dat"), "abc");
        EXPECT_TRUE(Read("big.dat") == big);
      }
    }
  }
}

// The header's check value is shown moved with the attribute, never made anew: a
// header that did not check still does not.
TEST_F(UnpackTest, DamagedArchivesWithOtherAttributesOrNoEndByteAreStillRefused) {
  const std::vector<LhaEntry> files = {{.name = "a.dat", .data = "first", .attribute = 0x21},
                                       {.name = "b.dat", .data = "second\0"s, .attribute = 0x01}};
  struct Damage {
    const char* what;
    std::function<void(std::string&, int level)> apply;
  };
  const Damage damages[] = {
      {"a changed name in the first header", [](std::string& a, int) { a[a.find("a.dat")] = 'c'; }},
      {"a changed name in the second header", [](std::string& a, int) { a[a.find("b.dat")] = 'c'; }},
      {"a changed check value", [](std::string& a, int level) { a[level == 1 ? 1 : level == 2 ? 27 : 33] ^= 1; }},
      // The 0 byte cut off is shown to be missing, not taken for the end byte.
      {"the last data byte cut with the end byte", [](std::string& a, int) { a.resize(a.size() - 2); }},
  };
  for (int level = 1; level <= 3; ++level) {
    for (const auto& damage : damages) {
      SCOPED_TRACE(std::to_string(level) + ": " + damage.what);
      std::string archive = PackLha(files, LhaMethod::kStored, level);
      damage.apply(archive, level);
      WriteFileBytes(archive_, archive);
      EXPECT_EQ(UnpackArchive(), UnpackStatus::kUnreadable);
    }
  }
  EXPECT_TRUE(Unpacked().empty());
}

TEST_F(UnpackTest, EscapingNamesLandFlatInsideTheFolder) {
  for (int level = 0; level <= 2; ++level) {
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    ASSERT_EQ(Unpack({{.name = "../up.txt", .data = "1"},
                      {.name = "/tmp/kelvane-abs.txt", .data = "2"},
                      {.name = "..\\back.txt", .data = "3"},
                      {.name = "a/../../deep.txt", .data = "4"}},
                     LhaMethod::kStored, level),
              UnpackStatus::kUnpacked);
    EXPECT_EQ(EverythingUnder(temp_.path()),
              (std::set<std::string>{"archive.lzh", "out", "out/up.txt", "out/kelvane-abs.txt",
                                     "out/back.txt", "out/deep.txt"}));
  }
}

TEST_F(UnpackTest, DirectoriesLinksAndDotNamesAreSkipped) {
  ASSERT_EQ(Unpack({{.name = "sub/", .kind = LhaKind::kDirectory},
                    {.name = "escape", .kind = LhaKind::kSymlink, .linkTarget = "/tmp"},
                    {.name = "escape/x.txt", .data = "through the link"},
                    {.name = "sub/..", .data = "dots"},
                    {.name = "sub/.", .data = "dot"},
                    {.name = ".kelvane-unpacking", .data = "the temporary name"}}),
            UnpackStatus::kUnpacked);
  EXPECT_EQ(Unpacked(), (std::set<std::string>{"x.txt"}));
  EXPECT_FALSE(fs::is_symlink(folder_ + "x.txt"));
  // Only a level-0 name can end with a separator and still be a file.
  EXPECT_EQ(Unpack({{.name = "sub\\", .data = "a file named like a folder"}}, LhaMethod::kLh5, 0),
            UnpackStatus::kUnpacked);
  EXPECT_EQ(Unpacked(), (std::set<std::string>{"x.txt"}));
}

TEST_F(UnpackTest, LaterFileWithTheSameBaseNameWins) {
  ASSERT_EQ(Unpack({{.name = "a/same.dat", .data = "first"}, {.name = "b/same.dat", .data = "second"}}),
            UnpackStatus::kUnpacked);
  EXPECT_EQ(Read("same.dat"), "second");
}

TEST_F(UnpackTest, LinksAlreadyInTheFolderAreReplacedNotFollowed) {
  const std::string outside = temp_ / "outside.txt";
  WriteFileBytes(outside, "keep");
  fs::create_symlink(outside, folder_ + "soft.txt");
  fs::create_hard_link(outside, folder_ + "hard.txt");
  ASSERT_EQ(Unpack({{.name = "soft.txt", .data = "new 1"}, {.name = "hard.txt", .data = "new 2"}}),
            UnpackStatus::kUnpacked);
  EXPECT_EQ(ReadFileBytes(outside), "keep");
  EXPECT_FALSE(fs::is_symlink(folder_ + "soft.txt"));
  EXPECT_EQ(Read("soft.txt"), "new 1");
  EXPECT_EQ(Read("hard.txt"), "new 2");
}

TEST_F(UnpackTest, DeclaredSizesPastTheCapFailBeforeAnythingIsWritten) {
  EXPECT_EQ(Unpack({{.name = "first.dat", .data = "small"},
                    {.name = "huge.dat", .data = "x", .declaredSize = kMaxUnpackedBytes + 1}}),
            UnpackStatus::kTooLarge);
  const auto half = static_cast<std::uint32_t>(kMaxUnpackedBytes / 2 + 1);
  EXPECT_EQ(Unpack({{.name = "first.dat", .data = "small"},
                    {.name = "a.dat", .data = "x", .declaredSize = half},
                    {.name = "b.dat", .data = "x", .declaredSize = half}}),
            UnpackStatus::kTooLarge);
  EXPECT_TRUE(Unpacked().empty());
  // Skipped entries do not count.
  EXPECT_EQ(Unpack({{.name = "sub/..", .data = "x", .declaredSize = 4000000000u},
                    {.name = "ok.dat", .data = "fine"}}),
            UnpackStatus::kUnpacked);
}

TEST_F(UnpackTest, SixtyFourBitSizesPastTheCapOrNegativeFail) {
  EXPECT_EQ(Unpack({{.name = "huge.dat", .data = "x", .declaredSize = 5ull << 30}}),
            UnpackStatus::kTooLarge);
  EXPECT_EQ(Unpack({{.name = "negative.dat", .data = "x", .declaredSize = ~0ull}}),
            UnpackStatus::kUnreadable);
  EXPECT_TRUE(Unpacked().empty());
}

TEST_F(UnpackTest, ArchiveFileFarLargerThanTheCapIsNotRead) {
  WriteFileBytes(archive_, PackLha({{.name = "a.dat", .data = "x"}}));
  fs::resize_file(archive_, kMaxUnpackedBytes * 2);  // sparse: takes no disk space
  EXPECT_EQ(UnpackArchive(), UnpackStatus::kTooLarge);
}

TEST_F(UnpackTest, DataLongerOrShorterThanDeclaredFails) {
  for (const auto method : {LhaMethod::kStored, LhaMethod::kLh5}) {
    EXPECT_EQ(Unpack({{.name = "long.dat", .data = "twelve bytes", .declaredSize = 5}}, method),
              UnpackStatus::kSizeMismatch);
    EXPECT_EQ(Unpack({{.name = "short.dat", .data = "twelve bytes", .declaredSize = 500}}, method),
              UnpackStatus::kSizeMismatch);
  }
  EXPECT_TRUE(Unpacked().empty());
}

TEST_F(UnpackTest, CrcErrorFailsAtEveryHeaderLevel) {
  for (int level = 0; level <= 2; ++level) {
    EXPECT_EQ(Unpack({{.name = "bad.dat", .data = "checked data", .corruptCrc = true}},
                     LhaMethod::kLh5, level),
              UnpackStatus::kUnreadable);
  }
  EXPECT_TRUE(Unpacked().empty());
}

TEST_F(UnpackTest, CorruptCompressedDataFails) {
  std::string archive = PackLha({{.name = "a.dat", .data = std::string(5000, 'q') + "tail"}});
  archive[archive.size() - 4] ^= 0x5A;
  WriteFileBytes(archive_, archive);
  EXPECT_NE(UnpackArchive(), UnpackStatus::kUnpacked);
  WriteFileBytes(archive_, archive.substr(0, archive.size() / 2));
  EXPECT_EQ(UnpackArchive(), UnpackStatus::kUnreadable);
}

// One file unpacked into memory: the first stored under its name in any letter case,
// whole, and nothing written anywhere; nothing when it is missing, larger than asked
// for, or does not unpack. Its declared size is what its header says, unpacked or not.
TEST_F(UnpackTest, OneFileUnpacksIntoMemoryOrNotAtAll) {
  const LhaEntry other{.name = "other.dat", .data = "other"};
  struct Case {
    std::vector<LhaEntry> entries;
    std::optional<std::string> bytes;
    std::optional<std::uint64_t> declared;
  };
  const Case cases[] = {
      {{other, {.name = "dir/WANTED.DAT", .data = "first"}, {.name = "wanted.dat", .data = "second"}}, "first", 5},
      {{{.name = "wanted.dat", .data = ""}}, "", 0},
      {{other}, std::nullopt, std::nullopt},
      {{{.name = "wanted.dat", .data = "checked data", .corruptCrc = true}}, std::nullopt, 12},
      {{{.name = "wanted.dat", .data = "twelve bytes", .declaredSize = 500}}, std::nullopt, 500},
  };
  for (const Case& c : cases) {
    WriteFileBytes(archive_, PackLha(c.entries));
    EXPECT_EQ(UnpackLhaFile(archive_, "wanted.dat", 1000), c.bytes) << c.entries.back().name;
    EXPECT_EQ(DeclaredLhaFileSize(archive_, "wanted.dat"), c.declared) << c.entries.back().name;
  }
  WriteFileBytes(archive_, PackLha({{.name = "wanted.dat", .data = "sixsix"}}));
  EXPECT_EQ(UnpackLhaFile(archive_, "wanted.dat", 5), std::nullopt) << "larger than asked for";
  EXPECT_EQ(UnpackLhaFile(temp_ / "missing.lzh", "wanted.dat", 5), std::nullopt);
  EXPECT_EQ(DeclaredLhaFileSize(temp_ / "missing.lzh", "wanted.dat"), std::nullopt);
  EXPECT_TRUE(Unpacked().empty());
}

// A name the folder does not take is the archive's failure; a folder that takes
// nothing at all is the machine's, and ends more than the archive.
TEST_F(UnpackTest, FolderThatTakesNoFileFails) {
  fs::create_directory(folder_ + "taken.dat");
  fs::create_directory(folder_ + "taken.dat/inside");
  EXPECT_EQ(Unpack({{.name = "taken.dat", .data = "x"}}), UnpackStatus::kWriteFailed);
  EXPECT_EQ(Unpack({{.name = std::string(300, 'n'), .data = "x"}}), UnpackStatus::kWriteFailed);
  const OwnFolder gone = OwnFolder::Open(folder_);
  fs::remove_all(folder_);
  WriteFileBytes(archive_, PackLha({{.name = "any.dat", .data = "x"}}));
  EXPECT_THROW(UnpackLhaArchive(archive_, gone), FileError);
}

// 出馬表 in Shift-JIS: 8F 6F 94 6E 95 5C, the last trail byte being '\'.
const std::string kCardNameCp932 = "\x8f\x6f\x94\x6e\x95\x5c.dat";

TEST_F(UnpackTest, ShiftJisNamesBecomeUtf8UnderThePlainCLocale) {
  ASSERT_STREQ(std::setlocale(LC_ALL, "C"), "C");
  for (int level = 0; level <= 2; ++level) {
    fs::remove_all(folder_);
    fs::create_directory(folder_);
    const std::string stored = (level == 0 ? "data\\" : "data/") + kCardNameCp932;
    ASSERT_EQ(Unpack({{.name = stored, .data = "card"}}, LhaMethod::kLh5, level), UnpackStatus::kUnpacked);
    EXPECT_EQ(Unpacked(), (std::set<std::string>{"出馬表.dat"}));
    EXPECT_EQ(MB_CUR_MAX, 1u);  // the thread's locale is back to plain C
  }
}

TEST_F(UnpackTest, NameThatIsNotShiftJisFails) {
  EXPECT_EQ(Unpack({{.name = "ok.dat", .data = "1"}, {.name = "\xff\xfe.dat", .data = "2"}}),
            UnpackStatus::kUnreadable);
  EXPECT_TRUE(Unpacked().empty());
}

TEST(IsLhaArchive, TellsArchivesFromOtherFiles) {
  ScopedTempDir temp;
  WriteFileBytes(temp / "good.lzh", PackLha({{.name = "a", .data = "b"}}));
  WriteFileBytes(temp / "text.lzh", "This is a text file, not an archive.\n");
  WriteFileBytes(temp / "empty.lzh", "");
  WriteFileBytes(temp / "end-only.lzh", std::string(1, '\0'));
  fs::create_directory(temp / "folder.lzh");
  EXPECT_TRUE(IsLhaArchive(temp / "good.lzh"));
  EXPECT_FALSE(IsLhaArchive(temp / "text.lzh"));
  EXPECT_FALSE(IsLhaArchive(temp / "empty.lzh"));
  EXPECT_FALSE(IsLhaArchive(temp / "end-only.lzh"));
  EXPECT_FALSE(IsLhaArchive(temp / "folder.lzh"));
  EXPECT_FALSE(IsLhaArchive(temp / "missing.lzh"));
}

TEST(IsLhaArchive, UnknownMethodIsAnArchiveThatDoesNotUnpack) {
  ScopedTempDir temp;
  std::string archive = PackLha({{.name = "a", .data = "b"}}, LhaMethod::kStored);
  archive.replace(2, 5, "-lhx-");
  WriteFileBytes(temp / "lhx.lzh", archive);
  EXPECT_TRUE(IsLhaArchive(temp / "lhx.lzh"));
  EXPECT_EQ(UnpackLhaArchive(temp / "lhx.lzh", OwnFolder::Open(temp.path())), UnpackStatus::kUnreadable);
}

}  // namespace
}  // namespace kelvane::test
