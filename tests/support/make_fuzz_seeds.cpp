// Writes the seed corpus of the fuzz targets (by default into fuzz/corpus of the
// current folder): make_fuzz_seeds [DIR]
#include <filesystem>
#include <iostream>

#include "support/fuzz_seeds.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  const std::filesystem::path root = argc > 1 ? argv[1] : "fuzz/corpus";
  for (const auto& seed : kelvane::test::FuzzSeeds()) {
    const std::filesystem::path folder = root / seed.corpus;
    std::filesystem::create_directories(folder);
    const std::string path = (folder / seed.name).string();
    kelvane::test::WriteFileBytes(path, seed.bytes);
    if (kelvane::test::ReadFileBytes(path) != seed.bytes) {
      std::cerr << "make_fuzz_seeds: cannot write " << path << '\n';
      return 1;
    }
  }
  std::cout << "wrote the fuzz seeds under " << root.string() << '\n';
  return 0;
}
