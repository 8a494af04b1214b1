// A write blocked on its reader gives up once it is asked to stop.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "platform/file_replace.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

using namespace std::chrono_literals;

// Writes a megabyte into `path`, stopping once `stop` is set; true when it stopped.
bool WriteUntilStopped(const std::string& path, const std::atomic<bool>& stop) {
  try {
    WriteOutputFile(path, [](ByteSink& out) {
      const std::vector<std::uint8_t> block(64 * 1024, 7);
      for (int i = 0; i < 16; ++i) out.Append(block.data(), block.size());
    }, [&] { return stop.load(); });
  } catch (const WriteStopped&) {
    return true;
  }
  return false;
}

// Reads whatever comes from `fd` until `write` is over.
void DrainUntilReady(int fd, std::future<bool>& write) {
  char buffer[4096];
  while (write.wait_for(1ms) != std::future_status::ready) {
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
  }
}

TEST(StoppedWrite, AFifoWithNoReaderAndAReaderThatStallsBothLetTheWriteStop) {
  test::ScopedTempDir dir;
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const bool withStalledReader : {false, true}) {
    SCOPED_TRACE(withStalledReader ? "a reader that never reads" : "no reader");
    std::atomic<bool> stop = false;
    auto write = std::async(std::launch::async, [&] { return WriteUntilStopped(fifo, stop); });
    // A reader that opens the FIFO and reads nothing: the pipe fills and stays full.
    std::future<int> reader;
    if (withStalledReader) reader = std::async(std::launch::async, [&] { return open(fifo.c_str(), O_RDONLY); });
    EXPECT_EQ(write.wait_for(300ms), std::future_status::timeout) << "the write waits";
    stop = true;
    const bool ended = write.wait_for(5s) == std::future_status::ready;
    const int readEnd = withStalledReader ? reader.get() : open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    DrainUntilReady(readEnd, write);  // a write that did not stop ends all the same
    close(readEnd);
    EXPECT_TRUE(ended) << "the write did not stop";
    EXPECT_TRUE(write.get());
  }
}

}  // namespace
}  // namespace kelvane
