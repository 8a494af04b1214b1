// The run's pipeline as a person sees it: what the working area holds while each
// archive is read, a stop that ends the run at once and leaves no thread behind, and
// the most races one database takes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <numeric>
#include <set>
#include <thread>

#include "app/archives_ahead.h"
#include "app/conversion_run.h"
#include "app/user_texts.h"
#include "pdb/palm_database.h"
#include "messages/texts.h"
#include "support/deadline.h"
#include "support/jravan_builder.h"
#include "support/lha_writer.h"
#include "support/recording_env.h"
#include "support/temp_dir.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Deadline;
using test::RecordingEnv;
using test::ScopedTempDir;

// Archive `name`.lzh in `dir`: `races` races of one runner each, and `padding` bytes
// of another file, to make it slow to unpack.
std::string Archive(const ScopedTempDir& dir, const std::string& name, int races, std::size_t padding = 0) {
  std::vector<test::RaceCardLine> lines;
  for (int r = 1; r <= races; ++r) lines.push_back({.year = 2003, .raceNumber = r, .entries = {{.horseId = "2001100001"}}});
  std::vector<test::LhaEntry> files = {
      {.name = "JracDen1.dat", .data = test::RaceCardFile(lines)},
      {.name = "JracUmaj.dat", .data = test::HorseRegisterFile({{.key = "2001100001", .birthYear = 2000}})}};
  if (padding > 0) files.push_back({.name = "JracKisi.dat", .data = std::string(padding, 'k')});
  test::WriteFileBytes(dir / (name + ".lzh"), test::PackLha(files, test::LhaMethod::kStored));
  return dir / (name + ".lzh");
}

// The archives' folders in the run's working area now, by name.
std::set<std::string> UnpackedFolders(const std::string& work) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& run : fs::directory_iterator(work + "/JRA-VAN", ec)) {
    for (const auto& folder : fs::directory_iterator(run.path() / "archives", ec)) {
      names.insert(folder.path().filename().string());
    }
  }
  return names;
}

// The threads of this process.
long Threads() { return std::distance(fs::directory_iterator("/proc/self/task"), {}); }

// At each archive the working area holds that archive and the ones unpacked ahead of
// it, no more: the unpacker keeps its distance, and each archive's files go as soon as
// its races are read.
TEST(RunPipeline, TheWorkingAreaHoldsTheArchiveReadAndThoseAheadOfItOnly) {
  struct WatchingEnv : RecordingEnv {
    explicit WatchingEnv(std::string folder) : work(std::move(folder)) {}
    void ShowProgress(std::size_t, std::size_t, const std::string&) override {
      // The unpacker is given time to run as far ahead as it may.
      std::set<std::string> now = UnpackedFolders(work);
      for (int still = 0; still < 10; std::this_thread::sleep_for(20ms)) {
        std::set<std::string> later = UnpackedFolders(work);
        still = later == now ? still + 1 : 0;
        now = std::move(later);
      }
      seen.push_back(now);
    }
    std::string work;
    std::vector<std::set<std::string>> seen;
  };
  for (const std::size_t threads : {1, 2}) {
    SCOPED_TRACE(std::to_string(threads) + " unpacking");
    const Deadline deadline(30s, "a run of six archives");
    ScopedTempDir dir;
    std::vector<std::string> archives;
    for (int i = 0; i < 6; ++i) archives.push_back(Archive(dir, std::to_string(i), 2));
    WatchingEnv env(dir / "work");
    ConversionRequest request{archives, true, dir / "out.pdb", dir / "work"};
    request.unpackThreads = threads;
    ASSERT_TRUE(RunConversion(request, env).written);
    ASSERT_EQ(env.seen.size(), archives.size());
    for (std::size_t i = 0; i < archives.size(); ++i) {
      std::set<std::string> expected;
      for (std::size_t j = i; j < std::min(i + UnpackAhead(threads), archives.size()); ++j) {
        expected.insert(std::to_string(j));
      }
      EXPECT_EQ(env.seen[i], expected) << "at archive " << i;
    }
  }
}

// The races of the archives still to come are told once, counting only those that
// read, each archive's from its race card alone: before the last archive, slow to
// unpack, is.
TEST(RunPipeline, TheRacesToComeAreToldBeforeTheLastArchiveIsUnpacked) {
  const Deadline deadline(30s, "four archives, the last slow to unpack");
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "1.lzh", "not an archive");
  const std::vector<std::string> archives = {Archive(dir, "0", 2), dir / "1.lzh", Archive(dir, "2", 3),
                                             Archive(dir, "3", 1, 32 << 20)};
  const std::vector<std::string> names = {"0", "1", "2", "3"};
  const std::size_t readable[] = {2, 0, 3, 1};
  fs::create_directory(dir / "work");
  fs::create_directory(dir / "spare");
  const OwnFolder work = OwnFolder::Open(dir / "work");
  SpareFiles spares(OwnFolder::Open(dir / "spare"));
  ArchivesAhead ahead(archives, names, work, spares, true, 2);
  std::vector<std::pair<std::size_t, std::size_t>> told;  // at which archive, how many
  bool lastWasWhole = false;
  for (std::size_t i = 0; i < archives.size(); ++i) {
    ahead.Take(i, [&](std::size_t races) {
      told.emplace_back(i, races);
      lastWasWhole = fs::exists(dir / "work/3/JracKisi.dat");
    });
  }
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].second, std::accumulate(readable + told[0].first, std::end(readable), std::size_t{0}));
  EXPECT_FALSE(lastWasWhole);
}

// Spares more than an archive's files are all gone once every archive is started.
TEST(RunPipeline, SparesGoOnceEveryArchiveIsStarted) {
  ScopedTempDir dir;
  const std::vector<std::string> archives = {Archive(dir, "0", 2)};
  const std::vector<std::string> names = {"0"};
  for (const char* folder : {"work", "spare", "done"}) fs::create_directory(dir / folder);
  for (int i = 0; i < 5; ++i) test::WriteFileBytes(dir / ("done/" + std::to_string(i)), "x");
  const OwnFolder work = OwnFolder::Open(dir / "work");
  SpareFiles spares(OwnFolder::Open(dir / "spare"));
  spares.Keep(OwnFolder::Open(dir / "done"));
  {
    ArchivesAhead ahead(archives, names, work, spares, true, 2);
    ahead.Take(0);
  }
  EXPECT_TRUE(fs::is_empty(dir / "spare"));
}

// Stopped at its first archive while the next is being unpacked, the run ends at
// once, and no thread of it goes on afterwards.
TEST(RunPipeline, AStopEndsTheRunAndItsUnpackingThread) {
  struct StoppingEnv : RecordingEnv {
    void ShowProgress(std::size_t, std::size_t, const std::string&) override { stop = true; }
    bool StopRequested() override { return stop; }
    bool stop = false;
  };
  const Deadline deadline(30s, "a stopped run");
  ScopedTempDir dir;
  std::vector<std::string> archives{Archive(dir, "first", 2), Archive(dir, "slow", 2, 48 << 20)};
  for (int i = 0; i < 4; ++i) archives.push_back(Archive(dir, "later" + std::to_string(i), 2));
  const long before = Threads();
  StoppingEnv env;
  EXPECT_TRUE(RunConversion({archives, true, dir / "out.pdb", dir / "work"}, env).stopped);
  EXPECT_EQ(Threads(), before) << "a thread of the run is still going";
  EXPECT_TRUE(fs::is_empty(dir / "work/JRA-VAN"));
}

// A stop asked while an archive's races are read ends the run before the next race.
TEST(RunPipeline, AStopEndsTheRunBetweenTheRacesOfAnArchive) {
  struct StopAtFirstMessage : RecordingEnv {
    void ShowMessage(const Message& message) override {
      RecordingEnv::ShowMessage(message);
      stop = true;
    }
    bool StopRequested() override { return stop; }
    bool stop = false;
  };
  ScopedTempDir dir;
  test::WriteFileBytes(dir / "junk.lzh", test::PackLha({{.name = "JracDen1.dat", .data = std::string(6, '\n')},
                                                         {.name = "JracUmaj.dat", .data = ""}}));
  StopAtFirstMessage env;
  EXPECT_TRUE(RunConversion({{dir / "junk.lzh"}, true, dir / "out.pdb", dir / "work"}, env).stopped);
  EXPECT_EQ(env.messages, std::vector<std::string>{texts::kRaceNotRead});
}

// A stop asked once the database is whole beside the output (the spool holds it,
// header first) but not yet in the output's place ends the run too: the old database
// stays, and nothing is left beside it.
TEST(RunPipeline, AStopWhileTheDatabaseIsWrittenLeavesTheOldOne) {
  struct StopWhenWhole : RecordingEnv {
    explicit StopWhenWhole(std::string folder) : out(std::move(folder)) {}
    bool StopRequested() override {
      for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path().filename().string().rfind(".kelvane-spool-", 0) != 0) continue;
        if (test::ReadFileBytes(entry.path()).rfind(kDatabaseName, 0) == 0) return true;
      }
      return false;
    }
    std::string out;
  };
  ScopedTempDir dir;
  fs::create_directory(dir / "out");
  test::WriteFileBytes(dir / "out/races.pdb", "old");
  StopWhenWhole env(dir / "out");
  EXPECT_TRUE(RunConversion({{Archive(dir, "day", 12)}, true, dir / "out/races.pdb", dir / "work"}, env).stopped);
  EXPECT_EQ(test::ReadFileBytes(dir / "out/races.pdb"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 1);
}

// One database counts 65,535 races: a card of that many races is written whole, with a
// line that does not read beside them too; one race more and nothing is written.
TEST(RunPipeline, ADatabaseTakesExactly65535Races) {
  ScopedTempDir dir;
  const std::string line = test::RaceCardLineBytes({.year = 2003, .raceNumber = 1}) + "\r\n";
  struct Case {
    std::size_t races;
    bool withUnreadableLine;
  };
  for (const Case c : {Case{kMaxRecords, false}, Case{kMaxRecords, true}, Case{kMaxRecords + 1, false}}) {
    SCOPED_TRACE(std::to_string(c.races) + (c.withUnreadableLine ? " and a line that does not read" : ""));
    std::string card;
    card.reserve(line.size() * c.races + 2);
    for (std::size_t i = 0; i < c.races; ++i) card += line;
    if (c.withUnreadableLine) card += "\r\n";
    test::WriteFileBytes(dir / "day.lzh", test::PackLha({{.name = "JracDen1.dat", .data = card},
                                                         {.name = "JracUmaj.dat", .data = ""}},
                                                        test::LhaMethod::kStored));
    RecordingEnv env;
    const auto outcome = RunConversion({{dir / "day.lzh"}, true, dir / "out.pdb", dir / "work"}, env);
    const bool fits = c.races <= kMaxRecords;
    EXPECT_EQ(outcome.written, fits);
    EXPECT_EQ(outcome.racesWritten, fits ? static_cast<int>(c.races) : 0);
    EXPECT_EQ(env.fileErrors, fits ? std::vector<std::string>{}
                                   : std::vector<std::string>{TooManyRacesText(dir / "out.pdb")});
    std::filesystem::remove(dir / "out.pdb");
  }
}

}  // namespace
}  // namespace kelvane
