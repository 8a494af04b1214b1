// Real LHA archives made by other programs (tests/data/lha; its README says where
// each comes from): the good ones unpack to the expected files, the broken ones
// fail with the unpack message, and none puts anything outside the working folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "archive/archive_extraction.h"
#include "archive/lha_library.h"
#include "expected_messages.h"
#include "folder_listing.h"
#include "support/lha_fixtures.h"
#include "support/lha_writer.h"
#include "support/temp_dir.h"

namespace kelvane::test {
namespace {

namespace fs = std::filesystem;

std::string FixtureRoot() { return KELVANE_LHA_FIXTURES; }

struct ExpectedFile {
  std::uint64_t size;
  std::optional<std::string> content;
  std::optional<std::uint16_t> crc;
};
using ExpectedFiles = std::map<std::string, ExpectedFile>;

// What unpacking a fixture gives: these files, or failure (nullopt).
struct FixtureCase {
  std::string path;
  std::optional<ExpectedFiles> files;
};

const std::string kFile1 = std::string(26, ' ') + "file 1 contents\n" + "hello\nhello\nhello\n";
const std::string kFile2 = std::string(26, ' ') + "file 2 contents\n" +
                           "hello\nhello\nhello\nhello\nhello\nhello\n";
const ExpectedFiles kTwoFiles = {{"file1", {60, kFile1, {}}}, {"file2", {78, kFile2, {}}}};

// The header dumps list each entry as "key: value" lines, entries separated by "--".
// Their regular files, with length and CRC, are what unpacking must give; an entry in a
// method libarchive cannot decode makes the whole archive fail.
std::optional<ExpectedFiles> FromHeaderDump(const std::string& dumpPath) {
  std::ifstream dump(dumpPath);
  ExpectedFiles files;
  bool decodable = true;
  std::map<std::string, std::string> fields;
  for (std::string line; std::getline(dump, line);) {
    if (line != "--") {
      const auto colon = line.find(": ");
      if (colon != std::string::npos) fields[line.substr(0, colon)] = line.substr(colon + 2);
      continue;
    }
    const std::string method = fields["compress_method"];
    if (method != "-lhd-") {
      decodable = decodable && (method == "-lh0-" || method == "-lh5-" || method == "-lh6-" ||
                                method == "-lh7-");
      files[fields["filename"]] = {std::stoull(fields["length"]), {},
                                   static_cast<std::uint16_t>(std::stoul(fields["crc"], nullptr, 16))};
    }
    fields.clear();
  }
  if (!decodable) return std::nullopt;
  return files;
}

std::vector<FixtureCase> Cases() {
  std::vector<FixtureCase> cases;
  for (const char* name : {"header0", "header1", "header2", "header3", "lh0", "lh6", "lh7", "withjunk"}) {
    cases.push_back({std::string("test_read_format_lha_") + name + ".lzh", kTwoFiles});
  }
  ExpectedFiles fuzzSeed = kTwoFiles;
  fuzzSeed["INSTALL"] = {1257, {}, {}};
  cases.push_back({"test_fuzz.lzh", fuzzSeed});
  cases.push_back({"test_read_format_lha_bugfix_0.lzh", ExpectedFiles{{"f", {776, {}, {}}}}});
  cases.push_back({"test_read_format_lha_filename_cp932.lzh",
                   ExpectedFiles{{"漢字.txt", {8, "\x8a\xbf\x8e\x9a\x82\xa9\x82\xc8", {}}},
                                 {"表.txt", {4, "list", {}}}}});
  cases.push_back({"test_read_format_lha_filename_utf16.lzh",
                   ExpectedFiles{{"äöüÄÖÜ.txt", {12, {}, {}}}, {"テスト.txt", {25, {}, {}}}}});
  for (const char* broken : {"test_read_format_lha_symlink_missing_target.lzh",
                             "test_read_format_lha_oversize_header.lzh",
                             "test_read_format_lha_amiga_script.lha", "lhasa/regression/truncated.lzh",
                             "lhasa/unlha32/lh2.lzh", "lhasa/unlha32/lh3.lzh"}) {
    cases.push_back({broken, std::nullopt});
  }
  cases.push_back({"lhasa/regression/dir.lzh", ExpectedFiles{}});
  cases.push_back({"lhasa/regression/dotdot.lzh",
                   ExpectedFiles{{"evil1.txt", {13, {}, {}}}, {"evil2.txt", {18, {}, {}}}}});
  cases.push_back({"lhasa/regression/multiple.lzh",
                   ExpectedFiles{{"file1.txt", {11, {}, {}}}, {"file2-1.txt", {15, {}, {}}},
                                 {"file2-2.txt", {15, {}, {}}}, {"file3.txt", {11, {}, {}}},
                                 {"file4.txt", {12, {}, {}}}}});
  cases.push_back({"lhasa/regression/symlink1.lzh", ExpectedFiles{{"foo.txt", {12, {}, {}}}}});
  cases.push_back({"lhasa/regression/symlink2.lzh", ExpectedFiles{{"passwd", {12, {}, {}}}}});
  cases.push_back({"lhasa/regression/symlink3.lzh", ExpectedFiles{{"passwd", {12, {}, {}}}}});
  // The dumps spell these names differently from the archive (case, a control
  // character inside).
  cases.push_back({"lhasa/regression/unixsep.lzh", ExpectedFiles{{"HELLO.TXT", {12, {}, 0x9778}}}});
  cases.push_back({"lhasa/regression/badterm.lzh", ExpectedFiles{{"\x1b]2;malicious\a\n", {0, "", {}}}}});
  for (const auto& dump : {"lhasa/regression/abspath.lzh", "lhasa/unlha32/h2_lhx.lzh",
                           "lhasa/unlha32/lhx_long.lzh"}) {
    cases.push_back({dump, FromHeaderDump(FixtureRoot() + "/" + dump + "-hdr.txt")});
  }
  for (const char* folder : {"lhasa/explzh_723", "lhasa/lhmelt_16536"}) {
    for (const auto& entry : fs::directory_iterator(FixtureRoot() + "/" + folder)) {
      if (entry.path().extension() != ".lzh") continue;
      cases.push_back({std::string(folder) + "/" + entry.path().filename().string(),
                       FromHeaderDump(entry.path().string() + "-hdr.txt")});
    }
  }
  return cases;
}

TEST(LhaFixtures, EveryArchiveUnpacksAsExpectedOrFailsWithTheUnpackMessage) {
  for (const auto& fixture : Cases()) {
    SCOPED_TRACE(fixture.path);
    ScopedTempDir temp;
    const std::string folder = temp / "JRA-VAN/case/";
    fs::create_directory(temp / "JRA-VAN");
    RecordedMessages messages;
    EXPECT_FALSE(ExtractArchive(FixtureRoot() + "/" + fixture.path, OwnFolder::Open(temp / "JRA-VAN"),
                                "case", messages));

    // The race card is missing from every good one.
    const std::string expectedMessage = fixture.files ? kNoRaceCardText : kUnpackFailedText;
    EXPECT_EQ(messages.messages, std::vector<std::string>{expectedMessage});
    std::set<std::string> expectedEverything = {"JRA-VAN", "JRA-VAN/case"};
    if (!fixture.files) {
      EXPECT_EQ(EverythingUnder(temp.path()), expectedEverything);
      continue;
    }
    for (const auto& [name, expected] : *fixture.files) {
      SCOPED_TRACE(name);
      expectedEverything.insert("JRA-VAN/case/" + name);
      const std::string bytes = ReadFileBytes(folder + name);
      EXPECT_EQ(bytes.size(), expected.size);
      if (expected.content) {
        EXPECT_EQ(bytes, *expected.content);
      }
      if (expected.crc) {
        EXPECT_EQ(LhaCrc16(bytes), *expected.crc);
      }
    }
    EXPECT_EQ(EverythingUnder(temp.path()), expectedEverything);
  }
}

// Ours (kelvane/, from support/lha_fixtures.h) are converted in archive_conversion_test.
TEST(LhaFixtures, EveryArchiveIsCovered) {
  std::set<std::string> covered;
  for (const auto& fixture : Cases()) covered.insert(fixture.path);
  for (const auto& fixture : LhaFixtures()) covered.insert("kelvane/" + fixture.fileName);
  for (const auto& entry : fs::recursive_directory_iterator(FixtureRoot())) {
    const auto extension = entry.path().extension();
    if (extension != ".lzh" && extension != ".lha") continue;
    EXPECT_TRUE(covered.count(fs::relative(entry.path(), FixtureRoot()).string()))
        << entry.path() << " has no expectation";
  }
}

TEST(LhaFixtures, OursAreWhatOurWriterMakes) {
  for (const auto& fixture : LhaFixtures()) {
    EXPECT_TRUE(ReadFileBytes(FixtureRoot() + "/kelvane/" + fixture.fileName) == fixture.bytes)
        << fixture.fileName << " differs: make_lha_fixtures tests/data/lha/kelvane writes it anew";
  }
}

TEST(LhaFixtures, ArchivesInMethodsLibarchiveDoesNotKnowAreStillArchives) {
  for (const char* path : {"lhasa/unlha32/h2_lhx.lzh", "test_read_format_lha_amiga_script.lha"}) {
    EXPECT_TRUE(IsLhaArchive(FixtureRoot() + "/" + path)) << path;
  }
}

TEST(LhaFixtures, AbsoluteNameWritesNothingAtThatPath) {
  // Another program may own a file there: it must stay as it was.
  const std::string absolute = "/tmp/absolute_path.txt";
  const auto before = fs::symlink_status(absolute);
  std::error_code ec;
  const auto changed = fs::last_write_time(absolute, ec);
  ScopedTempDir temp;
  EXPECT_EQ(UnpackLhaArchive(FixtureRoot() + "/lhasa/regression/abspath.lzh", OwnFolder::Open(temp.path())),
            UnpackStatus::kUnpacked);
  EXPECT_EQ(fs::symlink_status(absolute).type(), before.type());
  if (fs::exists(before)) {
    EXPECT_EQ(fs::last_write_time(absolute, ec), changed);
  }
  EXPECT_TRUE(fs::exists(temp / "absolute_path.txt"));
}

}  // namespace
}  // namespace kelvane::test
