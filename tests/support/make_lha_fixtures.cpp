// Writes the archives of tests/data/lha/kelvane/ into a folder:
// make_lha_fixtures <repository>/tests/data/lha/kelvane
#include <filesystem>
#include <iostream>

#include "support/lha_fixtures.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_lha_fixtures DIR\n";
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  for (const auto& fixture : kelvane::test::LhaFixtures()) {
    const std::string path = (std::filesystem::path(argv[1]) / fixture.fileName).string();
    kelvane::test::WriteFileBytes(path, fixture.bytes);
    std::cout << "wrote " << path << " (" << fixture.bytes.size() << " bytes)\n";
  }
  return 0;
}
