#pragma once

// The sample archives of samples/: two meeting days of twelve races each, with 8 to
// 18 runners a race, every runner's horse in the register with its pedigree, result
// tallies and up to five past runs. The names are made up. The content comes from a
// fixed pseudo-random sequence, so the archives are the same bytes on every run and
// every platform: `make_samples DIR` writes them, and a test checks that the
// committed files still match.

#include <string>
#include <vector>

namespace kelvane::test {

struct SampleArchive {
  std::string fileName;  // e.g. "20031228-06-nakayama.lzh"
  std::string bytes;     // an LHA archive (-lh5-) holding JracDen1.dat and JracUmaj.dat
};

std::vector<SampleArchive> SampleArchives();

}  // namespace kelvane::test
