// The test archive writer checked against libarchive, the reader the program uses.
#include "support/lha_writer.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvane::test {
namespace {

struct ReadEntry {
  std::string path;
  unsigned type = 0;
  long long declaredSize = 0;
  std::string data;
  std::string linkTarget;
  int dataStatus = ARCHIVE_OK;  // the last status of reading the data
};

struct ReadResult {
  std::vector<ReadEntry> entries;
  int endStatus = ARCHIVE_OK;  // ARCHIVE_EOF when every header read cleanly
};

ReadResult ReadBack(const std::string& archive) {
  ReadResult result;
  struct archive* reader = archive_read_new();
  archive_read_support_format_lha(reader);
  if (archive_read_open_memory(reader, archive.data(), archive.size()) != ARCHIVE_OK) {
    result.endStatus = ARCHIVE_FATAL;
    archive_read_free(reader);
    return result;
  }
  archive_entry* header = nullptr;
  while ((result.endStatus = archive_read_next_header(reader, &header)) == ARCHIVE_OK) {
    ReadEntry entry;
    entry.path = archive_entry_pathname(header);
    entry.type = archive_entry_filetype(header);
    entry.declaredSize = archive_entry_size(header);
    if (const char* target = archive_entry_symlink(header)) entry.linkTarget = target;
    char buffer[4096];
    la_ssize_t n = 0;
    while ((n = archive_read_data(reader, buffer, sizeof buffer)) > 0) entry.data.append(buffer, n);
    entry.dataStatus = static_cast<int>(n);
    result.entries.push_back(entry);
  }
  archive_read_free(reader);
  return result;
}

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

// Text-like data with repeats near and far, like the fixed-width records of a race card.
std::string RecordLikeText(std::size_t size) {
  std::mt19937 random(7);
  const std::vector<std::string> words = {"ﾀｲｷｼｬﾄﾙ ", "2024", "0921", "芝", "良", "  ", "\r\n", "東京"};
  std::string text;
  while (text.size() < size) text += words[random() % words.size()];
  text.resize(size);
  return text;
}

const LhaMethod kMethods[] = {LhaMethod::kStored, LhaMethod::kLh5, LhaMethod::kLh6, LhaMethod::kLh7};

std::vector<LhaEntry> VariedFiles() {
  return {
      {.name = "empty.dat", .data = ""},
      {.name = "one.dat", .data = "x"},
      {.name = "same.dat", .data = std::string(100000, 'a')},
      {.name = "pairs.dat", .data = [] {
         std::string s;
         for (int i = 0; i < 5000; ++i) s += "ab";
         return s;
       }()},
      {.name = "random.bin", .data = RandomBytes(70000, 1)},
      {.name = "records.txt", .data = RecordLikeText(300000)},
  };
}

TEST(PackLha, EveryMethodAndHeaderLevelReadsBackByteExact) {
  const auto files = VariedFiles();
  for (const auto method : kMethods) {
    for (int level = 0; level <= 3; ++level) {
      SCOPED_TRACE("method " + std::to_string(static_cast<int>(method)) + " level " +
                   std::to_string(level));
      const auto read = ReadBack(PackLha(files, method, level));
      EXPECT_EQ(read.endStatus, ARCHIVE_EOF);
      ASSERT_EQ(read.entries.size(), files.size());
      for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(read.entries[i].path, files[i].name);
        EXPECT_EQ(read.entries[i].type, unsigned{AE_IFREG});
        EXPECT_EQ(read.entries[i].dataStatus, ARCHIVE_OK);
        EXPECT_EQ(read.entries[i].declaredSize, static_cast<long long>(files[i].data.size()));
        EXPECT_TRUE(read.entries[i].data == files[i].data) << files[i].name;
      }
    }
  }
}

TEST(PackLha, CompressedMethodsShrinkTextAndReachAsFarAsTheirWindow) {
  const std::string text = RecordLikeText(50000);
  EXPECT_LT(CompressLh(text, LhaMethod::kLh5).size(), text.size() / 2);

  // A random block seen again 20,000 bytes later: beyond the 8 KiB window of -lh5-,
  // within the 32 and 64 KiB windows of -lh6- and -lh7-.
  const std::string block = RandomBytes(20000, 2);
  const std::string twice = block + block;
  EXPECT_GT(CompressLh(twice, LhaMethod::kLh5).size(), twice.size() * 9 / 10);
  EXPECT_LT(CompressLh(twice, LhaMethod::kLh6).size(), twice.size() * 6 / 10);
  EXPECT_LT(CompressLh(twice, LhaMethod::kLh7).size(), twice.size() * 6 / 10);
  for (const auto method : {LhaMethod::kLh6, LhaMethod::kLh7}) {
    const auto read = ReadBack(PackLha({{.name = "twice", .data = twice}}, method));
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_TRUE(read.entries[0].data == twice);
  }
}

TEST(PackLha, DirectoriesAndLinksAtEveryHeaderLevel) {
  for (int level = 0; level <= 3; ++level) {
    SCOPED_TRACE("level " + std::to_string(level));
    const auto read = ReadBack(PackLha({{.name = "sub/", .kind = LhaKind::kDirectory},
                                        {.name = "sub/link", .kind = LhaKind::kSymlink,
                                         .linkTarget = "../../etc"},
                                        {.name = "sub/file", .data = "data"}},
                                       LhaMethod::kLh5, level));
    EXPECT_EQ(read.endStatus, ARCHIVE_EOF);
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.entries[0].path, "sub/");
    EXPECT_EQ(read.entries[0].type, unsigned{AE_IFDIR});
    EXPECT_EQ(read.entries[1].path, "sub/link");
    EXPECT_EQ(read.entries[1].type, unsigned{AE_IFLNK});
    EXPECT_EQ(read.entries[1].linkTarget, "../../etc");
    EXPECT_EQ(read.entries[2].data, "data");
  }
}

TEST(PackLha, StoredNamesPassAsGiven) {
  const std::vector<LhaEntry> names = {{.name = "../up.txt", .data = "1"},
                                       {.name = "/etc/abs.txt", .data = "2"},
                                       {.name = "..\\back.txt", .data = "3"}};
  for (int level = 1; level <= 2; ++level) {
    const auto read = ReadBack(PackLha(names, LhaMethod::kStored, level));
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.entries[0].path, "../up.txt");
    EXPECT_EQ(read.entries[1].path, "/etc/abs.txt");
    EXPECT_EQ(read.entries[2].path, "..\\back.txt");
  }
  // Level 0 keeps the name in one field, where '\' is the separator.
  const auto read = ReadBack(PackLha({{.name = "dir\\f.txt", .data = "4"}}, LhaMethod::kStored, 0));
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].path, "dir/f.txt");
}

TEST(PackLha, HostileSizeAndCrcOptions) {
  for (int level = 0; level <= 2; ++level) {
    const auto read = ReadBack(PackLha({{.name = "big", .data = "abc", .declaredSize = 3000000000u},
                                        {.name = "bad", .data = "abc", .corruptCrc = true}},
                                       LhaMethod::kLh5, level));
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].declaredSize, 3000000000LL);
    EXPECT_EQ(read.entries[0].data, "abc");
    EXPECT_EQ(read.entries[1].dataStatus, ARCHIVE_WARN);
  }
  for (int level = 2; level <= 3; ++level) {
    const auto read = ReadBack(PackLha({{.name = "past32", .data = "abc", .declaredSize = 5ull << 30}},
                                       LhaMethod::kLh5, level));
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].declaredSize, 5LL << 30);
  }
  EXPECT_THROW(PackLha({{.name = "past32", .declaredSize = 5ull << 30}}, LhaMethod::kLh5, 1),
               std::invalid_argument);
}

TEST(PackLha, LevelTwoHeaderWhoseSizeEndsInZeroByteIsPadded) {
  // 24 fixed bytes, CRC extension 5, name extension 3 + 222, end 2: 256 bytes.
  const std::string name(222, 'n');
  const std::string archive = PackLha({{.name = name, .data = "z"}}, LhaMethod::kStored);
  EXPECT_EQ(static_cast<unsigned char>(archive[0]), 1);  // 257 with the pad byte
  const auto read = ReadBack(archive);
  ASSERT_EQ(read.entries.size(), 1u);
  EXPECT_EQ(read.entries[0].path, name);
}

// libarchive reads another attribute at level 0 only, where it checks the header sum
// over it too; without the end byte an archive is that byte shorter.
TEST(PackLha, OtherAttributesAndNoEndByte) {
  const std::vector<LhaEntry> files = {{.name = "a.dat", .data = "first", .attribute = 0x21},
                                       {.name = "b.dat", .data = "second", .attribute = 0x00}};
  const auto read = ReadBack(PackLha(files, LhaMethod::kLh5, 0));
  EXPECT_EQ(read.endStatus, ARCHIVE_EOF);
  ASSERT_EQ(read.entries.size(), 2u);
  EXPECT_EQ(read.entries[1].data, "second");
  for (int level = 0; level <= 3; ++level) {
    const std::string archive = PackLha(files, LhaMethod::kLh5, level);
    EXPECT_EQ(static_cast<unsigned char>(archive[19]), 0x21);
    EXPECT_EQ(PackLha(files, LhaMethod::kLh5, level, LhaEnd::kNoEndByte) + '\0', archive);
  }
}

TEST(LhaCrc16, IsCrc16Arc) {
  EXPECT_EQ(LhaCrc16("123456789"), 0xBB3D);
  EXPECT_EQ(LhaCrc16(""), 0);
}

}  // namespace
}  // namespace kelvane::test
