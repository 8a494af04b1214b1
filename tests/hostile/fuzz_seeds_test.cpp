#include "support/fuzz_seeds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "support/temp_dir.h"

namespace kelvane::test {
namespace {

std::string CorpusFolder() {
  const char* root = std::getenv("KELVANE_SOURCE_DIR");
  return std::string(root != nullptr ? root : ".") + "/fuzz/corpus";
}

TEST(FuzzSeeds, CommittedCorpusIsWhatTheGeneratorMakes) {
  std::set<std::string> made;
  for (const FuzzSeed& seed : FuzzSeeds()) {
    const std::string relative = seed.corpus + "/" + seed.name;
    made.insert(relative);
    EXPECT_TRUE(ReadFileBytes(CorpusFolder() + "/" + relative) == seed.bytes)
        << relative << " differs; rerun make_fuzz_seeds <repository>/fuzz/corpus";
  }
  std::set<std::string> committed;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(CorpusFolder())) {
    if (entry.is_regular_file()) {
      committed.insert(std::filesystem::relative(entry.path(), CorpusFolder()).string());
    }
  }
  EXPECT_EQ(committed, made);
}

}  // namespace
}  // namespace kelvane::test
