#include "archive/lha_library.h"

#include <archive.h>
#include <archive_entry.h>

#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "archive/lha_source.h"
#include "archive/path_helpers.h"
#include "platform/file_error.h"
#include "platform/utf8_locale.h"

namespace kelvane {
namespace {

// Stored data is as large as its files and compressed data hardly larger, so a bigger
// archive file is refused as too large before reading it. That also bounds what
// libarchive 3.6 buffers for a level-3 header that claims gigabytes.
constexpr std::uint64_t kMaxArchiveBytes = kMaxUnpackedBytes + kMaxUnpackedBytes / 4;
// Each file is written under this name first. Archive files of this name are skipped,
// so that writing the next file cannot take their place.
constexpr const char* kPartialName = ".kelvane-unpacking";

bool IsNonEmptyRegularFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0 &&
         !ec;
}

// Whether the file begins with an LHA header of any method, known to libarchive or not.
bool StartsWithLhaHeader(const std::string& path) {
  std::array<char, 21> head{};
  std::ifstream in(path, std::ios::binary);
  if (!in) OsFailure::Last().ThrowIfMachineFailure(path);
  return in.read(head.data(), head.size()) && IsLhaHeader(std::string_view(head.data(), head.size()));
}

// One entry, empty, as a level-0 header: enough for libarchive to read a header.
constexpr unsigned char kEmptyEntry[] = {23,  0xE0, '-', 'l', 'h', '0', '-', 0, 0, 0, 0, 0,    0,
                                         0,   0,    0,   0,   0,   0,   0x20, 0, 1, 'a', 0, 0, 0};

la_ssize_t ReadShown(struct archive* archive, void* source, const void** block) {
  std::string_view bytes;
  if (!static_cast<LhaSource*>(source)->Read(bytes)) {
    archive_set_error(archive, EIO, "the archive file cannot be read");
    return ARCHIVE_FATAL;
  }
  *block = bytes.data();
  return static_cast<la_ssize_t>(bytes.size());
}

la_int64_t SkipShown(struct archive*, void* source, la_int64_t count) {
  return static_cast<la_int64_t>(static_cast<LhaSource*>(source)->Skip(static_cast<std::uint64_t>(count)));
}

// One pass over an archive with libarchive, names converted from CP932 to UTF-8. The
// archive reaches libarchive through an LhaSource, which shows it archives as other
// LHA programs write them.
class LhaReader {
 public:
  enum class Step { kEntry, kEnd, kBroken };

  explicit LhaReader(const std::string& path) : path_(path), reader_(archive_read_new(), archive_read_free) {
    ReadyLhaReading();
    if (archive_ == nullptr) throw std::bad_alloc();
    archive_read_support_format_lha(archive_);
    archive_read_set_options(archive_, "hdrcharset=CP932");
    if (!IsNonEmptyRegularFile(path)) return;
    if (!source_.Open(path)) OsFailure::Last().ThrowIfMachineFailure(path_);
    open_ = archive_read_open2(archive_, &source_, nullptr, ReadShown, SkipShown, nullptr) == ARCHIVE_OK;
    if (!open_) ThrowOnMachineFailure();
  }
  LhaReader(const LhaReader&) = delete;
  LhaReader& operator=(const LhaReader&) = delete;

  bool IsOpen() const { return open_; }

  // The next header. Anything but a clean header (a warning too, such as a name that
  // cannot be converted) counts as damage.
  Step Next(archive_entry*& entry) {
    switch (archive_read_next_header(archive_, &entry)) {
      case ARCHIVE_OK: return archive_entry_pathname(entry) != nullptr ? Step::kEntry : Step::kBroken;
      case ARCHIVE_EOF: return Step::kEnd;
      default:
        ThrowOnMachineFailure();
        return Step::kBroken;
    }
  }

  // The next bytes of the current entry's data, seen in libarchive's own buffer (valid
  // until the next call), so that they are not copied on their way to the file:
  // ARCHIVE_OK, ARCHIVE_EOF at the end, or anything else when the data is corrupt,
  // fails its CRC (reported as a warning at the end) or uses a method that cannot be
  // decoded (a warning too).
  int ReadBlock(std::string_view& block, std::int64_t& offset) {
    const void* data = nullptr;
    std::size_t size = 0;
    const int status = archive_read_data_block(archive_, &data, &size, &offset);
    if (status != ARCHIVE_OK && status != ARCHIVE_EOF) ThrowOnMachineFailure();
    block = status == ARCHIVE_OK ? std::string_view(static_cast<const char*>(data), size) : std::string_view();
    return status;
  }

 private:
  // What fails for the machine's sake (no memory, the archive's disk failing, too many
  // open files) fails the run, not the archive.
  void ThrowOnMachineFailure() const { OsFailure::Reported(archive_errno(archive_)).ThrowIfMachineFailure(path_); }

  ScopedUtf8Locale utf8_;  // first in, last out: in effect for every libarchive call
  std::string path_;
  LhaSource source_;       // outlives the libarchive reader that reads it
  // Freed however the reader ends, a machine failure thrown while opening included.
  std::unique_ptr<struct archive, int (*)(struct archive*)> reader_;
  struct archive* archive_ = reader_.get();
  bool open_ = false;
};

// The name a regular file is written under; empty when the entry is not written.
std::string OutputName(archive_entry* entry, const std::vector<std::string>& usualNames) {
  if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry) != nullptr) return {};
  const std::string path = archive_entry_pathname(entry);
  const auto separator = path.find_last_of("/\\");
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  if (name == "." || name == ".." || name == kPartialName) return {};
  for (const std::string& usual : usualNames) {
    if (EqualIgnoringAsciiCase(name, usual)) return usual;
  }
  return name;
}

// Calls visit(reader, outputName, declaredSize) for each entry that is written, in
// order, after checking the running total of declared sizes against the cap. Goes on
// while visit gives nothing, and stops at the first status it gives.
template <typename Visit>
UnpackStatus ForEachOutputFile(const std::string& archivePath,
                               const std::vector<std::string>& usualNames, Visit visit) {
  LhaReader reader(archivePath);
  if (!reader.IsOpen()) return UnpackStatus::kUnreadable;
  std::uint64_t total = 0;
  for (;;) {
    archive_entry* entry = nullptr;
    const auto step = reader.Next(entry);
    if (step == LhaReader::Step::kEnd) return UnpackStatus::kUnpacked;
    if (step == LhaReader::Step::kBroken) return UnpackStatus::kUnreadable;
    const std::string name = OutputName(entry, usualNames);
    if (name.empty()) continue;
    if (!archive_entry_size_is_set(entry) || archive_entry_size(entry) < 0) {
      return UnpackStatus::kUnreadable;
    }
    const auto size = static_cast<std::uint64_t>(archive_entry_size(entry));
    total += size;
    if (total > kMaxUnpackedBytes) return UnpackStatus::kTooLarge;
    if (const std::optional<UnpackStatus> status = visit(reader, name, size)) return *status;
  }
}

// Hands the current entry's data to put(block) as it is decoded, never past its
// declared size. Blocks come one after another: an LHA entry has no holes, so a block
// that does not start where the last one ended means the data is not what it claims.
template <typename Put>
UnpackStatus CopyData(LhaReader& reader, std::uint64_t declaredSize, Put put) {
  std::uint64_t copied = 0;
  for (;;) {
    std::string_view block;
    std::int64_t offset = 0;
    const int status = reader.ReadBlock(block, offset);
    if (status == ARCHIVE_EOF) break;
    if (status != ARCHIVE_OK || offset < 0 || static_cast<std::uint64_t>(offset) != copied) {
      return UnpackStatus::kUnreadable;
    }
    copied += block.size();
    if (copied > declaredSize) return UnpackStatus::kSizeMismatch;
    // An empty block, which libarchive gives where a step of decoding -lh5- data
    // yields no bytes, comes without a buffer: there is nothing to put.
    if (!block.empty()) put(block);
  }
  return copied == declaredSize ? UnpackStatus::kUnpacked : UnpackStatus::kSizeMismatch;
}

// A file too large to be an archive of what may be unpacked, refused before it is read.
bool TooLargeAnArchive(const std::string& archivePath) {
  std::error_code ec;
  return std::filesystem::file_size(archivePath, ec) > kMaxArchiveBytes && !ec;
}

// Writes the current entry as `name` in `folder`: first under the partial name, then
// renamed. A name the file system refuses (too long, say) is the archive's failure;
// anything else that fails is the machine's and throws.
UnpackStatus WriteFile(LhaReader& reader, const OwnFolder& folder, const std::string& name,
                       std::uint64_t declaredSize, SpareFiles* spares) {
  folder.Remove(kPartialName);
  std::FILE* out = spares != nullptr ? spares->Reuse(folder, kPartialName, name) : nullptr;
  if (out == nullptr) out = folder.CreateFile(kPartialName);
  std::setvbuf(out, nullptr, _IONBF, 0);  // libarchive's blocks go to the file as they come
  UnpackStatus status = UnpackStatus::kUnpacked;
  try {
    // A write that fails is the machine's, and throws naming the folder.
    status = CopyData(reader, declaredSize, [&](std::string_view block) {
      if (std::fwrite(block.data(), 1, block.size(), out) != block.size()) OsFailure::Last().Throw(folder.path());
    });
  } catch (...) {
    std::fclose(out);
    folder.Remove(kPartialName);
    throw;
  }
  // A spare written over still holds what it held past the new bytes.
  if (const auto failure = status == UnpackStatus::kUnpacked ? CutFile(out, declaredSize) : std::nullopt) {
    std::fclose(out);
    folder.Remove(kPartialName);
    failure->Throw(folder.path());
  }
  if (std::fclose(out) != 0) {
    const OsFailure failure = OsFailure::Last();
    folder.Remove(kPartialName);
    failure.Throw(folder.path());
  }
  if (status == UnpackStatus::kUnpacked) {
    const auto failure = folder.Rename(kPartialName, name);
    if (!failure) return status;
    failure->ThrowIfMachineFailure(folder.path());
    status = UnpackStatus::kWriteFailed;
  }
  folder.Remove(kPartialName);
  return status;
}

}  // namespace

void ReadyLhaReading() {
  static std::once_flag ready;
  std::call_once(ready, [] {
    const std::unique_ptr<struct archive, int (*)(struct archive*)> reader(archive_read_new(), archive_read_free);
    if (reader == nullptr) return;
    archive_read_support_format_lha(reader.get());
    archive_entry* entry = nullptr;
    if (archive_read_open_memory(reader.get(), kEmptyEntry, sizeof kEmptyEntry) == ARCHIVE_OK) {
      archive_read_next_header(reader.get(), &entry);
    }
  });
}

bool IsLhaArchive(const std::string& archivePath) {
  if (!IsNonEmptyRegularFile(archivePath)) return false;
  if (LhaReader(archivePath).IsOpen()) return true;
  return StartsWithLhaHeader(archivePath);
}

UnpackStatus UnpackLhaArchive(const std::string& archivePath, const OwnFolder& folder,
                              const std::vector<std::string>& usualNames, SpareFiles* spares) {
  if (TooLargeAnArchive(archivePath)) return UnpackStatus::kTooLarge;
  // First every header, so that nothing is written for an archive that is damaged in
  // its headers or too large; then the files.
  const auto checked = ForEachOutputFile(archivePath, usualNames, [](LhaReader&, const std::string&, std::uint64_t) {
    return std::optional<UnpackStatus>();
  });
  if (checked != UnpackStatus::kUnpacked) return checked;
  return ForEachOutputFile(archivePath, usualNames, [&](LhaReader& reader, const std::string& name, std::uint64_t size) {
    const UnpackStatus written = WriteFile(reader, folder, name, size, spares);
    return written == UnpackStatus::kUnpacked ? std::nullopt : std::optional(written);
  });
}

namespace {

// Gives take(reader, declaredSize) the first file of the archive stored under
// `usualName` and returns what it returns; kUnpacked when there is no such file.
template <typename Take>
UnpackStatus WithFirstFileNamed(const std::string& archivePath, const std::string& usualName, Take take) {
  if (TooLargeAnArchive(archivePath)) return UnpackStatus::kTooLarge;
  return ForEachOutputFile(archivePath, {usualName}, [&](LhaReader& reader, const std::string& name, std::uint64_t size) {
    return name == usualName ? std::optional(take(reader, size)) : std::nullopt;
  });
}

}  // namespace

std::optional<std::string> UnpackLhaFile(const std::string& archivePath, const std::string& usualName,
                                         std::uint64_t maxBytes) {
  std::optional<std::string> bytes;
  const auto status = WithFirstFileNamed(archivePath, usualName, [&](LhaReader& reader, std::uint64_t size) {
    if (size > maxBytes) return UnpackStatus::kTooLarge;
    bytes.emplace().reserve(size);
    return CopyData(reader, size, [&](std::string_view block) { bytes->append(block); });
  });
  return status == UnpackStatus::kUnpacked ? bytes : std::nullopt;
}

std::optional<std::uint64_t> DeclaredLhaFileSize(const std::string& archivePath, const std::string& usualName) {
  std::optional<std::uint64_t> declared;
  WithFirstFileNamed(archivePath, usualName, [&](LhaReader&, std::uint64_t size) {
    declared = size;
    return UnpackStatus::kUnpacked;
  });
  return declared;
}

}  // namespace kelvane
