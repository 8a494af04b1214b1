#include "archive/archive_extraction.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "expected_messages.h"
#include "platform/file_error.h"
#include "folder_listing.h"
#include "support/lha_writer.h"
#include "support/temp_dir.h"

namespace kelvane::test {
namespace {

namespace fs = std::filesystem;

const std::string kCard = "race card line\r\n";
const std::string kRegister(2881, 'h');

class ExtractArchiveTest : public ::testing::Test {
 protected:
  bool Extract(const std::vector<LhaEntry>& entries, LhaMethod method = LhaMethod::kLh5) {
    WriteFileBytes(archive_, PackLha(entries, method));
    fs::remove_all(folder_);
    return ExtractInto(archive_);
  }
  bool ExtractInto(const std::string& archive) {
    fs::create_directories(parent_);
    files_ = ExtractArchive(archive, OwnFolder::Open(parent_), folderName_, messages_);
    return files_.has_value();
  }
  void UnpackUnder(const std::string& parent, const std::string& name) {
    parent_ = parent;
    folderName_ = name;
    folder_ = parent + name + "/";
  }

  ScopedTempDir temp_;
  std::string archive_ = temp_ / "0921.lzh";
  std::string parent_ = temp_ / "base/JRA-VAN/";
  std::string folderName_ = "0921";
  std::string folder_ = parent_ + folderName_ + "/";
  std::optional<DataFiles> files_;
  RecordedMessages messages_;
};

TEST_F(ExtractArchiveTest, RaceCardAndRegisterInEveryMethodGiveTheirPaths) {
  for (const auto method : {LhaMethod::kStored, LhaMethod::kLh5, LhaMethod::kLh6, LhaMethod::kLh7}) {
    ASSERT_TRUE(Extract({{.name = "JracDen1.dat", .data = kCard},
                         {.name = "JracUmaj.dat", .data = kRegister}},
                        method));
    EXPECT_TRUE(messages_.messages.empty());
    EXPECT_EQ(files_->cardPath, folder_ + "JracDen1.dat");
    EXPECT_EQ(files_->horseFilePath, folder_ + "JracUmaj.dat");
    EXPECT_EQ(ReadFileBytes(files_->cardPath), kCard);
    EXPECT_EQ(ReadFileBytes(files_->horseFilePath), kRegister);
  }
}

TEST_F(ExtractArchiveTest, OnlyTheRaceCardFailsAtTheRegister) {
  EXPECT_FALSE(Extract({{.name = "JracDen1.dat", .data = kCard}}));
  EXPECT_EQ(messages_.messages, std::vector<std::string>{kNoHorseRegisterText});
  EXPECT_EQ(ReadFileBytes(folder_ + "JracDen1.dat"), kCard);  // stays for the run's clean-up
}

TEST_F(ExtractArchiveTest, NoRaceCardFailsAtTheCard) {
  EXPECT_FALSE(Extract({{.name = "JracUmaj.dat", .data = kRegister}}));
  EXPECT_EQ(messages_.messages, std::vector<std::string>{kNoRaceCardText});
}

// Data files stored in capitals, as DOS-era tools wrote them, land under their usual
// names.
TEST_F(ExtractArchiveTest, DataFileNamesMatchWhateverTheirLetterCase) {
  ASSERT_TRUE(Extract({{.name = "JRACDEN1.DAT", .data = kCard},
                       {.name = "jracumaj.dat", .data = kRegister},
                       {.name = "Other.Dat", .data = "o"}}));
  EXPECT_EQ(EverythingUnder(folder_),
            (std::set<std::string>{"JracDen1.dat", "JracUmaj.dat", "Other.Dat"}));
  EXPECT_EQ(ReadFileBytes(files_->cardPath), kCard);
}

TEST_F(ExtractArchiveTest, NotAnArchiveNamesTheFileAndCreatesNothing) {
  const std::string text = temp_ / "notes.lzh";
  WriteFileBytes(text, "Just some notes, renamed.\n");
  fs::create_directory(temp_ / "folder.lzh");
  WriteFileBytes(temp_ / "empty.lzh", "");
  for (const char* name : {"notes.lzh", "folder.lzh", "empty.lzh", "missing.lzh"}) {
    messages_.messages.clear();
    EXPECT_FALSE(ExtractInto(temp_ / name));
    EXPECT_EQ(messages_.messages, std::vector<std::string>{NotAnArchiveText(name)});
  }
  EXPECT_TRUE(fs::is_empty(parent_));
}

TEST_F(ExtractArchiveTest, ArchiveThatDoesNotUnpackFails) {
  EXPECT_FALSE(Extract({{.name = "JracDen1.dat", .data = kCard, .corruptCrc = true},
                        {.name = "JracUmaj.dat", .data = kRegister}}));
  EXPECT_EQ(messages_.messages, std::vector<std::string>{kUnpackFailedText});
  EXPECT_TRUE(fs::is_directory(folder_));
}

TEST_F(ExtractArchiveTest, DeclaredSizePastTheCapFails) {
  EXPECT_FALSE(Extract({{.name = "JracDen1.dat", .data = kCard, .declaredSize = 0x7FFFFFFFu}}));
  EXPECT_EQ(messages_.messages, std::vector<std::string>{kUnpackFailedText});
  EXPECT_TRUE(EverythingUnder(folder_).empty());
}

// The working folder is made fresh: one that is there already (put there by someone
// else) is never unpacked into, and what it holds stays as it was.
TEST_F(ExtractArchiveTest, AFolderThereAlreadyIsNotUnpackedInto) {
  fs::create_directories(folder_);
  WriteFileBytes(folder_ + "JracDen1.dat", "theirs");
  WriteFileBytes(archive_, PackLha({{.name = "JracDen1.dat", .data = kCard}}));
  EXPECT_THROW(ExtractInto(archive_), FileError);
  EXPECT_EQ(EverythingUnder(folder_), std::set<std::string>{"JracDen1.dat"});
  EXPECT_EQ(ReadFileBytes(folder_ + "JracDen1.dat"), "theirs");
}

TEST_F(ExtractArchiveTest, HostileNamesAndLinksStayInsideTheWorkingFolder) {
  EXPECT_TRUE(Extract({{.name = "JracUmaj.dat", .kind = LhaKind::kSymlink, .linkTarget = "/etc/passwd"},
                       {.name = "../../JracDen1.dat", .data = kCard},
                       {.name = "/etc/JracUmaj.dat", .data = kRegister},
                       {.name = "..\\..\\JracKisi.dat", .data = "k"}}));
  EXPECT_EQ(EverythingUnder(temp_.path()),
            (std::set<std::string>{"0921.lzh", "base", "base/JRA-VAN", "base/JRA-VAN/0921",
                                   "base/JRA-VAN/0921/JracDen1.dat", "base/JRA-VAN/0921/JracUmaj.dat",
                                   "base/JRA-VAN/0921/JracKisi.dat"}));
  EXPECT_FALSE(fs::is_symlink(files_->horseFilePath));
}

TEST_F(ExtractArchiveTest, BlanksAndJapaneseInThePathsWork) {
  archive_ = temp_ / "レース データ/出馬表 0921.lzh";
  UnpackUnder(temp_ / "作業 フォルダ/JRA-VAN/", "出馬表 0921");
  fs::create_directory(temp_ / "レース データ");
  EXPECT_TRUE(Extract({{.name = "JracDen1.dat", .data = kCard}, {.name = "JracUmaj.dat", .data = kRegister}}));
  EXPECT_EQ(ReadFileBytes(folder_ + "JracDen1.dat"), kCard);
}

}  // namespace
}  // namespace kelvane::test
