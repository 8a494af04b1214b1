// The run folder on POSIX: everything goes through folder descriptors opened with
// O_NOFOLLOW, so that no path component made by someone else is ever followed, and
// the folder's lock is flock() on its descriptor, which ends with the process.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/run_folder.h"

namespace kelvane {
namespace {

constexpr std::string_view kRunPrefix = "run-";
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Closes a descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { if (fd_ >= 0) close(fd_); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

void RemoveContents(int folderFd);

// Removes the entry `name` of the folder `parentFd`: a folder with all it holds, or
// anything else (a link, not what it points at).
void RemoveEntry(int parentFd, const char* name) {
  struct stat st {};
  if (fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    const Fd folder(openat(parentFd, name, kFolderFlags));
    if (folder.get() >= 0) RemoveContents(folder.get());
    unlinkat(parentFd, name, AT_REMOVEDIR);
  } else {
    unlinkat(parentFd, name, 0);
  }
}

// Calls visit(name) for every entry of the folder but "." and "..".
template <typename Visit>
void ForEachEntry(int folderFd, Visit visit) {
  const int own = fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) return;
  DIR* dir = fdopendir(own);
  if (dir == nullptr) {
    close(own);
    return;
  }
  rewinddir(dir);
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") visit(entry->d_name);
  }
  closedir(dir);
}

void RemoveContents(int folderFd) {
  ForEachEntry(folderFd, [&](const char* name) { RemoveEntry(folderFd, name); });
}

// The root folder `name` under `baseFd`, made when missing. Whatever else stands at
// that name (a link, a FIFO) is removed first: it is not ours, and it is not followed.
int OpenRoot(int baseFd, const char* name) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (mkdirat(baseFd, name, 0700) != 0 && errno != EEXIST) return -1;
    const int fd = openat(baseFd, name, kFolderFlags);
    if (fd >= 0) return fd;
    struct stat st {};
    if (fstatat(baseFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode) ||
        S_ISREG(st.st_mode)) {
      return -1;  // a plain file is somebody's data: not ours to remove
    }
    unlinkat(baseFd, name, 0);
  }
  return -1;
}

// Removes the run folders under the root whose runs are over: their lock is free.
void RemoveStaleRunFolders(int rootFd) {
  ForEachEntry(rootFd, [&](const char* name) {
    if (std::string_view(name).substr(0, kRunPrefix.size()) != kRunPrefix) return;
    const Fd folder(openat(rootFd, name, kFolderFlags));
    if (folder.get() < 0 || flock(folder.get(), LOCK_EX | LOCK_NB) != 0) return;
    RemoveContents(folder.get());
    unlinkat(rootFd, name, AT_REMOVEDIR);
  });
}

std::string RandomName() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
  std::string name(kRunPrefix);
  for (int i = 0; i < 12; ++i) name += kLetters[pick(device)];
  return name;
}

}  // namespace

std::optional<RunFolder> RunFolder::Create(const std::string& base, const std::string& rootName,
                                           int& osError) {
  std::error_code ec;
  std::filesystem::create_directories(base, ec);
  const Fd baseFd(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  Fd rootFd(baseFd.get() >= 0 ? OpenRoot(baseFd.get(), rootName.c_str()) : -1);
  if (rootFd.get() < 0) {
    osError = errno;
    return std::nullopt;
  }
  // While the root is locked no other run sweeps it, so a folder just made and not
  // yet locked is never taken for a dead run's.
  flock(rootFd.get(), LOCK_EX);
  RemoveStaleRunFolders(rootFd.get());
  std::string name;
  int made = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = RandomName();
    made = mkdirat(rootFd.get(), name.c_str(), 0700);
    if (made == 0 || errno != EEXIST) break;
  }
  Fd folderFd(made == 0 ? openat(rootFd.get(), name.c_str(), kFolderFlags) : -1);
  osError = folderFd.get() >= 0 ? 0 : errno;
  if (folderFd.get() >= 0) flock(folderFd.get(), LOCK_EX | LOCK_NB);
  flock(rootFd.get(), LOCK_UN);
  if (folderFd.get() < 0) return std::nullopt;
  std::string path = base;
  if (path.back() != '/') path += '/';
  path += rootName + "/" + name + "/";
  return RunFolder(std::move(path), std::move(name), rootFd.release(), folderFd.release());
}

RunFolder::RunFolder(std::string path, std::string name, int rootFd, int folderFd)
    : path_(std::move(path)), name_(std::move(name)), rootFd_(rootFd), folderFd_(folderFd) {}

RunFolder::RunFolder(RunFolder&& other) noexcept
    : path_(std::move(other.path_)),
      name_(std::move(other.name_)),
      rootFd_(std::exchange(other.rootFd_, -1)),
      folderFd_(std::exchange(other.folderFd_, -1)) {}

RunFolder::~RunFolder() {
  if (folderFd_ < 0) return;
  RemoveContents(folderFd_);
  unlinkat(rootFd_, name_.c_str(), AT_REMOVEDIR);
  close(folderFd_);
  close(rootFd_);
}

}  // namespace kelvane
