#pragma once

#include <stdexcept>
#include <string>

namespace kelvane {

// Why a file or folder could not be made, read or written. Each cause has its own
// text for the person (see FileErrorText in the app); only causes an OS error leads
// to are here.
enum class FileErrorCause {
  kUnspecified,
  kInvalidPath,
  kTooManyOpenFiles,
  kAccessDenied,
  kInvalidFileHandle,
  kHardwareIo,
  kDiskFull,
};

// What an OS call that failed said, kept in the platform's own terms and shown as
// the cause a person is told, or in the system's own words.
class OsFailure {
 public:
  // What the OS call that just failed reported, taken before anything else is called.
  static OsFailure Last();
  // A failure a library reported in the OS's error numbers, as libarchive does.
  static OsFailure Reported(int osError);
  // A failure whose reason is no longer known.
  static OsFailure Unknown();

  FileErrorCause cause() const;
  // The system's words for it ("No such file or directory"); empty when unknown.
  std::string reason() const;
  // True when the machine ran short or failed (no space, a quota or size limit, too
  // many open files, no memory, an I/O error) rather than anything about the file's
  // contents: what fails so fails the run, not one archive.
  bool IsMachineFailure() const;

  // Throws it for `place`: std::bad_alloc when memory ran out, else FileError.
  [[noreturn]] void Throw(const std::string& place) const;
  // Throws it as Throw does when it is the machine's failure.
  void ThrowIfMachineFailure(const std::string& place) const;

 private:
  explicit OsFailure(int osError) : osError_(osError) {}
  int osError_;
};

// The machine failed a run: the output could not be written, or the working area
// could not be made, written or read. Carries the place that failed.
class FileError : public std::runtime_error {
 public:
  FileError(const OsFailure& failure, std::string path);

  FileErrorCause cause() const { return failure_.cause(); }
  const std::string& path() const { return path_; }
  const OsFailure& failure() const { return failure_; }

 private:
  OsFailure failure_;
  std::string path_;
};

}  // namespace kelvane
