// A folder held open on POSIX: a descriptor opened with O_NOFOLLOW, and every call on
// what is in it an *at() call relative to that descriptor.
#include "platform/own_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string_view>
#include <utility>

#include "platform/file_error.h"
#include "platform/posix_os_error.h"

namespace kelvane {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

void RemoveEntry(int parentFd, const char* name);

// Calls visit(folderFd, name) for every entry of the open folder `dir` but "." and
// "..", then closes it. Names are read first and visited after, so that removing
// them does not disturb the reading.
template <typename Visit>
void VisitAndClose(DIR* dir, Visit visit) {
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  for (const std::string& name : names) visit(dirfd(dir), name.c_str());
  closedir(dir);
}

// A listing of the folder `folderFd` on a descriptor of its own; nothing, with errno
// set, when it cannot be had.
DIR* OpenListing(int folderFd) {
  const int own = openat(folderFd, ".", kFolderFlags);
  if (own < 0) return nullptr;
  DIR* dir = fdopendir(own);
  if (dir == nullptr) {
    const int error = errno;
    close(own);
    errno = error;
  }
  return dir;
}

// Removes everything in the folder `name` of `parentFd`, then the folder. Each level
// holds one descriptor, so a run short of descriptors still removes what it made.
void RemoveFolder(int parentFd, const char* name) {
  const int fd = openat(parentFd, name, kFolderFlags);
  if (fd >= 0) {
    if (DIR* dir = fdopendir(fd)) {
      VisitAndClose(dir, RemoveEntry);
    } else {
      close(fd);
    }
  }
  unlinkat(parentFd, name, AT_REMOVEDIR);
}

void RemoveEntry(int parentFd, const char* name) {
  struct stat st {};
  if (fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    RemoveFolder(parentFd, name);
  } else {
    unlinkat(parentFd, name, 0);
  }
}

// `prefix` and twelve random letters and digits.
std::string RandomName(std::string_view prefix) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  std::string name(prefix);
  for (int i = 0; i < 12; ++i) name += kLetters[pick(device)];
  return name;
}

// Makes something under a fresh name with `make(name)`, which gives nothing, with
// errno set, when it cannot; a name taken already is passed over.
template <typename Make>
auto UnderFreshName(std::string_view prefix, const std::string& place, Make make) {
  for (int attempt = 0;; ++attempt) {
    std::string name = RandomName(prefix);
    if (auto made = make(name)) return std::pair{std::move(*made), name};
    if (errno != EEXIST || attempt == 100) ThrowFileError(errno, place + name);
  }
}

// Removes the regular files of this user in the folder named `prefix` and a fresh
// ending whose lock no process holds.
void RemoveUnlockedFiles(int folderFd, std::string_view prefix) {
  DIR* dir = OpenListing(folderFd);
  if (dir == nullptr) return;
  VisitAndClose(dir, [&](int fd, const char* name) {
    if (std::string_view(name).substr(0, prefix.size()) != prefix) return;
    const int file = openat(fd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return;
    struct stat st {};
    if (fstat(file, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
        flock(file, LOCK_EX | LOCK_NB) == 0) {
      unlinkat(fd, name, 0);
    }
    close(file);
  });
}

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

}  // namespace

// The open folder; closed when the last copy of the OwnFolder goes.
class OwnFolder::Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { close(fd_); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

OwnFolder::OwnFolder(std::shared_ptr<const Descriptor> folder, std::string path)
    : folder_(std::move(folder)), path_(WithSlash(std::move(path))) {}

OwnFolder OwnFolder::Open(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) ThrowFileError(errno, path);
  return OwnFolder(std::make_shared<Descriptor>(fd), path);
}

OwnFolder OwnFolder::MakeFolder(const std::string& name) const {
  auto made = TryMakeFolder(name);
  if (!made) ThrowFileError(errno, path_ + name);
  return std::move(*made);
}

std::optional<OwnFolder> OwnFolder::TryMakeFolder(const std::string& name) const {
  if (mkdirat(folder_->get(), name.c_str(), 0700) != 0) return std::nullopt;
  return OpenFolder(name);
}

std::optional<OwnFolder> OwnFolder::OpenFolder(const std::string& name) const {
  const int fd = openat(folder_->get(), name.c_str(), kFolderFlags);
  if (fd < 0) return std::nullopt;
  return OwnFolder(std::make_shared<Descriptor>(fd), path_ + name);
}

OwnFolder OwnFolder::OpenOrMakeFolder(const std::string& name) const {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (mkdirat(folder_->get(), name.c_str(), 0700) != 0 && errno != EEXIST) break;
    if (auto folder = OpenFolder(name)) return std::move(*folder);
    struct stat st {};
    if (fstatat(folder_->get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) break;
    if (S_ISDIR(st.st_mode)) break;
    if (S_ISREG(st.st_mode)) {
      errno = ENOTDIR;  // a plain file is somebody's data: not ours to remove
      break;
    }
    unlinkat(folder_->get(), name.c_str(), 0);
  }
  ThrowFileError(errno, path_ + name);
}

bool OwnFolder::OthersCanChange() const {
  struct stat st {};
  if (fstat(folder_->get(), &st) != 0) return true;
  const bool othersWrite = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  return st.st_uid != geteuid() || (othersWrite && (st.st_mode & S_ISVTX) == 0);
}

std::FILE* OwnFolder::CreateFile(const std::string& name) const {
  std::FILE* file = TryCreateFile(name);
  if (file == nullptr) ThrowFileError(errno, path_ + name);
  return file;
}

std::FILE* OwnFolder::TryCreateFile(const std::string& name) const {
  const int fd = openat(folder_->get(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "w+b");
  if (file == nullptr) {
    const int error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

std::FILE* OwnFolder::OpenToWriteOver(const std::string& name) const {
  const int fd = openat(folder_->get(), name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) ThrowFileError(errno, path_ + name);
  struct stat st {};
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  std::FILE* file = regular ? fdopen(fd, "wb") : nullptr;  // fdopen never cuts the file
  if (file == nullptr) {
    const int error = regular ? errno : EINVAL;
    close(fd);
    ThrowFileError(error, path_ + name);
  }
  return file;
}

std::pair<OwnFolder, std::string> OwnFolder::MakeFreshFolder(std::string_view prefix) const {
  return UnderFreshName(prefix, path_, [&](const std::string& name) { return TryMakeFolder(name); });
}

std::pair<std::FILE*, std::string> OwnFolder::CreateLockedFile(std::string_view prefix) const {
  Lock();
  try {
    RemoveUnlockedFiles(folder_->get(), prefix);
    auto made = UnderFreshName(prefix, path_, [&](const std::string& name) {
      std::FILE* file = TryCreateFile(name);
      return file != nullptr ? std::optional(file) : std::nullopt;
    });
    flock(fileno(made.first), LOCK_EX | LOCK_NB);
    Unlock();
    return made;
  } catch (...) {
    Unlock();
    throw;
  }
}

std::string OwnFolder::ReadFile(const std::string& name) const {
  const int fd = openat(folder_->get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) ThrowFileError(errno, path_ + name);
  const Descriptor file(fd);
  struct stat st {};
  if (fstat(fd, &st) != 0) ThrowFileError(errno, path_ + name);
  if (!S_ISREG(st.st_mode)) ThrowFileError(EINVAL, path_ + name);
  // Read straight into the text, at the size the file has (and a byte more, where the
  // end is seen), then whatever it grew by.
  std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(got + 64 * 1024);
    const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowFileError(errno, path_ + name);
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

bool OwnFolder::Contains(const std::string& name) const {
  struct stat st {};
  return fstatat(folder_->get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

std::vector<std::string> OwnFolder::Names() const {
  std::vector<std::string> names;
  DIR* dir = OpenListing(folder_->get());
  if (dir == nullptr) ThrowFileError(errno, path_);
  VisitAndClose(dir, [&](int, const char* name) { names.emplace_back(name); });
  return names;
}

void OwnFolder::RemoveEverything() const {
  if (DIR* dir = OpenListing(folder_->get())) VisitAndClose(dir, RemoveEntry);
}

std::optional<OsFailure> OwnFolder::Rename(const std::string& from, const std::string& to) const {
  if (renameat(folder_->get(), from.c_str(), folder_->get(), to.c_str()) == 0) return std::nullopt;
  return OsFailure::Last();
}

std::optional<OsFailure> OwnFolder::MoveTo(const std::string& name, const OwnFolder& to,
                                           const std::string& newName) const {
  if (renameat2(folder_->get(), name.c_str(), to.folder_->get(), newName.c_str(), RENAME_NOREPLACE) == 0) {
    return std::nullopt;
  }
  return OsFailure::Last();
}

void OwnFolder::Remove(const std::string& name) const { RemoveEntry(folder_->get(), name.c_str()); }

bool OwnFolder::TryLock() const { return flock(folder_->get(), LOCK_EX | LOCK_NB) == 0; }

void OwnFolder::Lock() const { flock(folder_->get(), LOCK_EX); }

void OwnFolder::Unlock() const { flock(folder_->get(), LOCK_UN); }

std::optional<OsFailure> CutFile(std::FILE* file, std::uint64_t size) {
  if (std::fflush(file) == 0 && ftruncate(fileno(file), static_cast<off_t>(size)) == 0) return std::nullopt;
  return OsFailure::Last();
}

}  // namespace kelvane
