// Writes the sample archives into a folder (by default samples/ of the current
// folder): make_samples [DIR]
#include <filesystem>
#include <iostream>

#include "support/sample_archives.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : "samples";
  std::filesystem::create_directories(folder);
  for (const auto& archive : kelvane::test::SampleArchives()) {
    const std::string path = (folder / archive.fileName).string();
    kelvane::test::WriteFileBytes(path, archive.bytes);
    if (kelvane::test::ReadFileBytes(path) != archive.bytes) {
      std::cerr << "make_samples: cannot write " << path << '\n';
      return 1;
    }
    std::cout << "wrote " << path << " (" << archive.bytes.size() << " bytes)\n";
  }
  return 0;
}
