#pragma once

// Process states that make the database write fail, set up for one run and undone
// afterwards. Linux-specific, like the failures they stand for.

#include <string>

namespace kelvane::test {

class Situation {
 public:
  virtual ~Situation() = default;
  // Empty when the situation holds; otherwise why it cannot be made here.
  virtual std::string WhyNot() const { return {}; }
};

// Files may grow to `bytes` at most; a write past that fails with EFBIG, as the
// programs ignore SIGXFSZ, instead of the signal ending the process.
class FileSizeLimit : public Situation {
 public:
  explicit FileSizeLimit(unsigned long bytes);
  ~FileSizeLimit() override;

 private:
  unsigned long savedSoft_ = 0;
  void (*savedHandler_)(int) = nullptr;
};

// `folder` takes no new files, for root too: its write bits are cleared, and this
// thread gives up the power to override them (CAP_DAC_OVERRIDE) while the object lives.
class ReadOnlyFolder : public Situation {
 public:
  explicit ReadOnlyFolder(std::string folder);
  ~ReadOnlyFolder() override;
  std::string WhyNot() const override { return whyNot_; }

 private:
  std::string folder_;
  bool capabilitiesDropped_ = false;
  unsigned savedEffective_[2] = {};
  std::string whyNot_;
};

}  // namespace kelvane::test
