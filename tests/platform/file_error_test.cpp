#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>

namespace kelvane {
namespace {

// Every OS error a run can meet: its cause and whether it is the machine's failure.
TEST(FileErrorCause, FollowsTheOsErrorAsTheTextsMeanIt) {
  using enum FileErrorCause;
  struct Row {
    int osError;
    FileErrorCause cause;
    bool machine;
  };
  const Row rows[] = {
      {ENOENT, kInvalidPath, false},       {ENOTDIR, kInvalidPath, false},
      {ENAMETOOLONG, kInvalidPath, false}, {ELOOP, kInvalidPath, false},
      {EACCES, kAccessDenied, false},      {EPERM, kAccessDenied, false},
      {EROFS, kAccessDenied, false},       {EISDIR, kAccessDenied, false},
      {ENOSPC, kDiskFull, true},           {EDQUOT, kDiskFull, true},
      {EFBIG, kDiskFull, true},            {EMFILE, kTooManyOpenFiles, true},
      {ENFILE, kTooManyOpenFiles, true},   {EIO, kHardwareIo, true},
      {EPIPE, kHardwareIo, false},         {EBADF, kInvalidFileHandle, false},
      {ENOMEM, kUnspecified, true},        {EEXIST, kUnspecified, false},
      {ENXIO, kUnspecified, false},        {EBUSY, kUnspecified, false},
      {EINVAL, kUnspecified, false},       {EAGAIN, kUnspecified, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(OsFailure::Reported(row.osError).cause(), row.cause) << row.osError;
    EXPECT_EQ(OsFailure::Reported(row.osError).IsMachineFailure(), row.machine) << row.osError;
  }
}

TEST(FileErrorCause, OutOfMemoryIsThrownAsSuch) {
  EXPECT_THROW(OsFailure::Reported(ENOMEM).Throw("/x"), std::bad_alloc);
  EXPECT_NO_THROW(OsFailure::Reported(ENOENT).ThrowIfMachineFailure("/x"));
  try {
    OsFailure::Reported(ENOSPC).ThrowIfMachineFailure("/work/spool");
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileErrorCause::kDiskFull);
    EXPECT_EQ(error.path(), "/work/spool");
    EXPECT_EQ(error.failure().reason(), "No space left on device");
  }
  EXPECT_EQ(OsFailure::Unknown().reason(), "");
}

}  // namespace
}  // namespace kelvane
