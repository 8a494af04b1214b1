#pragma once

// The seed corpus of the fuzz targets in fuzz/: a few small, well-formed inputs that
// reach deep into each reader, and a few damaged ones, all made by the test-data
// builders and the same bytes on every run. `make_fuzz_seeds DIR` writes them as
// DIR/<corpus>/<name>; a test checks that fuzz/corpus/ holds exactly these.

#include <string>
#include <vector>

namespace kelvane::test {

struct FuzzSeed {
  std::string corpus;  // the fuzz target's corpus folder: race_card, horse_register,
                       // archive_extraction or race_database
  std::string name;
  std::string bytes;
};

std::vector<FuzzSeed> FuzzSeeds();

}  // namespace kelvane::test
