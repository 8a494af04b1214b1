// `kelvane dump` on damaged databases: every cut of a good file is refused with the
// reason, and every byte changed either still reads and shows or is refused so.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/database_dump.h"
#include "pdb/race_database_reader.h"
#include "support/fuzz_seeds.h"

namespace kelvane::test {
namespace {

Bytes TwoRaceDatabase() {
  for (const FuzzSeed& seed : FuzzSeeds()) {
    if (seed.corpus == "race_database" && seed.name == "two-races") {
      return Bytes(seed.bytes.begin(), seed.bytes.end());
    }
  }
  return {};
}

TEST(HostileDatabase, EveryCutOfAGoodFileIsRefusedWithTheReason) {
  const Bytes file = TwoRaceDatabase();
  ASSERT_FALSE(file.empty());
  std::string problem;
  ASSERT_TRUE(ReadRaceDatabase(file, problem)) << problem;
  for (std::size_t size = 0; size < file.size(); ++size) {
    EXPECT_FALSE(ReadRaceDatabase(std::span(file).first(size), problem)) << size;
    EXPECT_NE(problem, "") << size;
  }
}

TEST(HostileDatabase, EveryChangedByteStillShowsOrIsRefusedWithTheReason) {
  const Bytes good = TwoRaceDatabase();
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (const std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x81}, std::uint8_t{0xFF}}) {
      Bytes file = good;
      file[at] = value;
      std::string problem;
      const auto db = ReadRaceDatabase(file, problem);
      if (!db) {
        EXPECT_NE(problem, "") << at;
        continue;
      }
      std::ostringstream shown;
      PrintRaceDatabase(*db, shown);
      EXPECT_NE(shown.str(), "") << at;
    }
  }
}

}  // namespace
}  // namespace kelvane::test
