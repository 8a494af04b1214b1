#include "hostile/situations.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>

namespace kelvane::test {
namespace {

// This thread's capability sets, read and written through the system calls (libcap is
// not needed for one bit).
struct Capabilities {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};

  bool Get() { return syscall(SYS_capget, &header, data) == 0; }
  bool Set() { return syscall(SYS_capset, &header, data) == 0; }
};

}  // namespace

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  savedSoft_ = limit.rlim_cur;
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limit);
  savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = savedSoft_;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, savedHandler_);
}

ReadOnlyFolder::ReadOnlyFolder(std::string folder) : folder_(std::move(folder)) {
  chmod(folder_.c_str(), 0555);
  Capabilities caps;
  if (caps.Get()) {
    savedEffective_[0] = caps.data[0].effective;
    savedEffective_[1] = caps.data[1].effective;
    caps.data[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    capabilitiesDropped_ = caps.Set();
  }
  const std::string probe = folder_ + "/.probe";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd >= 0) {
    close(fd);
    unlink(probe.c_str());
    whyNot_ = "this process writes into a folder without write permission (running as root "
              "without the power to give up CAP_DAC_OVERRIDE?)";
  }
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (capabilitiesDropped_) {
    Capabilities caps;
    caps.Get();
    caps.data[0].effective = savedEffective_[0];
    caps.data[1].effective = savedEffective_[1];
    caps.Set();
  }
  chmod(folder_.c_str(), 0755);
}

}  // namespace kelvane::test
