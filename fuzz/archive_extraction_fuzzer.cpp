// Archive bytes in, a working folder out. The archive is unpacked as a conversion
// unpacks it; afterwards nothing may exist outside the working folder but the archive
// itself, and inside it nothing but regular files. Extraction succeeds silently or
// fails with one message.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/archive_extraction.h"
#include "fuzz/fuzz_support.h"

using namespace kelvane;
namespace fs = std::filesystem;

namespace {

// One folder per fuzzing process, emptied after every input and removed at exit.
const fs::path& Sandbox() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "kelvane-fuzz-XXXXXX").string();
    fuzz::Check(mkdtemp(pattern.data()) != nullptr, "a sandbox folder can be made");
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(Sandbox(), ignored);
    });
    return fs::path(pattern);
  }();
  return folder;
}

void CheckOnlyRegularFilesIn(const fs::path& sandbox, const fs::path& archive,
                             const fs::path& workingFolder) {
  for (const auto& entry : fs::recursive_directory_iterator(sandbox)) {
    const fs::path& path = entry.path();
    const bool onTheWay = (workingFolder.string() + "/").starts_with(path.string() + "/");
    if (path == archive || onTheWay) continue;
    fuzz::Check(path.parent_path() == workingFolder, "nothing outside the working folder");
    fuzz::Check(entry.is_regular_file() && !entry.is_symlink(),
                "only regular files in the working folder");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& sandbox = Sandbox();
  const fs::path archive = sandbox / "archive.lzh";
  const fs::path workingFolder = sandbox / "JRA-VAN" / "archive";
  std::ofstream(archive, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  fs::create_directory(workingFolder.parent_path());
  fuzz::CountingSink messages;
  const auto files =
      ExtractArchive(archive.string(), OwnFolder::Open(workingFolder.parent_path()), "archive", messages);
  fuzz::Check(messages.count == (files ? 0 : 1), "one message exactly when it fails");
  if (files) {
    fuzz::Check(fs::is_regular_file(files->cardPath) && fs::is_regular_file(files->horseFilePath),
                "an extracted archive gives both data files");
  }
  CheckOnlyRegularFilesIn(sandbox, archive, workingFolder);

  std::error_code ignored;
  fs::remove_all(sandbox / "JRA-VAN", ignored);
  fs::remove(archive, ignored);
  return 0;
}
