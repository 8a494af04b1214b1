#include "bench/decompression_floor.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace kelvane::bench {
namespace {

// The block size the archive layer reads archive files with.
constexpr std::size_t kBlockSize = 64 * 1024;

using ArchivePtr = std::unique_ptr<struct archive, decltype(&archive_read_free)>;

bool DecompressOne(const std::string& path, std::string& buffer, std::uint64_t& total) {
  ArchivePtr reader(archive_read_new(), &archive_read_free);
  archive_read_support_format_lha(reader.get());
  if (archive_read_open_filename(reader.get(), path.c_str(), kBlockSize) != ARCHIVE_OK) {
    return false;
  }
  archive_entry* entry = nullptr;
  for (;;) {
    const int step = archive_read_next_header(reader.get(), &entry);
    if (step == ARCHIVE_EOF) return true;
    if (step != ARCHIVE_OK) return false;
    buffer.resize(static_cast<std::size_t>(archive_entry_size(entry)));
    std::size_t done = 0;
    for (;;) {
      const la_ssize_t n =
          archive_read_data(reader.get(), buffer.data() + done, buffer.size() - done);
      if (n < 0) return false;
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    total += done;
  }
}

}  // namespace

std::uint64_t DecompressAll(const std::vector<std::string>& archivePaths, std::string& error) {
  std::string buffer;
  std::uint64_t total = 0;
  for (const auto& path : archivePaths) {
    if (!DecompressOne(path, buffer, total)) {
      error = "cannot unpack " + path;
      return 0;
    }
  }
  return total;
}

}  // namespace kelvane::bench
