// `kelvane dump` on damaged databases: every cut of a good file is refused with the
// reason, and every byte changed either still reads and shows or is refused so.
#include <gtest/gtest.h>

#include <algorithm>
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
      // Shown whole: a header line, and per race a blank line, its line and its runners.
      std::ostringstream shown;
      PrintRaceDatabase(*db, shown);
      std::size_t lines = 1;
      for (const RaceRecord& race : db->races) lines += 2 + race.runners.size();
      const std::string text = shown.str();
      EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), lines) << at;
    }
  }
}

}  // namespace
}  // namespace kelvane::test
