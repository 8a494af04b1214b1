// kelvane_bench: how a whole season converts, against the decompression floor.
// The conversion is measured with one unpacking thread per core (the default), and
// also with one and two, each against the one-thread floor.
//
//   kelvane_bench [--archives N] [--races N] [--horses N] [--runs N] [--double]
//                 [--kelvane PATH] [--dir DIR] [--keep]
//
// Builds a season of archives (see season.h) in a fresh folder under DIR (the
// system's temporary folder by default), then, `runs` times over, (a) unpacks every
// archive into memory with libarchive and nothing else, the floor, and (b) runs
// `kelvane convert` on the same archives as a child process, with its working
// folders and output in the same folder. The best time of each is reported, with
// their ratio, records per second, the child's peak resident memory and the most its
// working area held of unpacked archives. With --double the seasons of twice and four
// times as many archives are measured as well, and the growth from the first to the
// second is printed. --keep leaves the folder behind, for profiling.
// The exit status is 0 when every conversion succeeded; the targets are only printed.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/decompression_floor.h"
#include "bench/platform.h"
#include "bench/reporting.h"
#include "bench/season.h"

namespace kelvane::bench {
namespace {

namespace fs = std::filesystem;

constexpr double kMaxFloorRatio = 0.9;
// Twice the season may take at most 15% longer than twice the floor's own growth.
constexpr double kGrowthAllowance = 1.15;
constexpr double kMemoryAllowanceMiB = 16.0;
// The working area holds at most this many archives' unpacked files at once: those
// unpacking, one more ahead, and the one being read.
const double kMaxArchivesInWorkingArea = std::thread::hardware_concurrency() + 2.0;

struct Options {
  SeasonPlan plan;
  int runs = 3;
  bool twoSizes = false;
  std::string kelvane = KELVANE_CLI_PATH;
  std::string dir;
  bool keep = false;
};

// The unpacking threads a conversion is measured with: one, two and one per core.
std::vector<unsigned> ThreadCounts() {
  std::vector<unsigned> counts{1, 2};
  if (const unsigned cores = std::thread::hardware_concurrency(); cores > 2) counts.push_back(cores);
  return counts;
}

// The best of several runs of one season.
struct Figures {
  double floorSeconds = 0;
  double floorCpuSeconds = 0;
  double convertSeconds = 0;  // with one unpacking thread per core
  double convertCpuSeconds = 0;
  std::vector<double> convertSecondsByThreads;  // as ThreadCounts() lists them
  std::uint64_t unpackedBytes = 0;
  std::uint64_t outputBytes = 0;
  std::uint64_t peakRssBytes = 0;
  std::uint64_t benchRssBytes = 0;
  std::uint64_t peakUnpackedInWorkBytes = 0;  // the most the archives' working files held
};

// Samples the unpacked files under a run's working folder while it lives, and keeps
// the most it saw: the archives unpacked and being read, and the files kept to be
// written over. The run's spool of built records goes beside the output, and is the
// output's bytes, not the archives'.
class WorkingAreaWatch {
 public:
  explicit WorkingAreaWatch(fs::path root) : root_(std::move(root)), thread_([this] { Watch(); }) {}
  ~WorkingAreaWatch() {
    done_ = true;
    thread_.join();
  }
  std::uint64_t peak() const { return peak_; }

 private:
  void Watch() {
    while (!done_) {
      std::error_code ec;
      for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        peak_ = std::max<std::uint64_t>(peak_, BytesUnder(it->path().string()));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));  // light on the run it watches
    }
  }
  fs::path root_;
  std::atomic<bool> done_ = false;
  std::atomic<std::uint64_t> peak_ = 0;
  std::thread thread_;
};

const char* kUsage =
    "usage: kelvane_bench [--archives N] [--races N] [--horses N] [--runs N] [--double]\n"
    "                     [--kelvane PATH] [--dir DIR] [--keep]\n";

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    auto count = [&](int& target) { target = std::max(1, std::atoi(argv[++i])); };
    if (arg == "--double") {
      options.twoSizes = true;
    } else if (arg == "--keep") {
      options.keep = true;
    } else if (hasValue && arg == "--archives") {
      count(options.plan.archives);
    } else if (hasValue && arg == "--races") {
      count(options.plan.races);
    } else if (hasValue && arg == "--horses") {
      count(options.plan.horses);
    } else if (hasValue && arg == "--runs") {
      count(options.runs);
    } else if (hasValue && arg == "--kelvane") {
      options.kelvane = argv[++i];
    } else if (hasValue && arg == "--dir") {
      options.dir = argv[++i];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Best(int run, double best, double now) { return run == 0 ? now : std::min(best, now); }

// `kelvane convert` of the season into `output` with `threads` unpacking threads (one
// per core when 0).
std::vector<std::string> ConvertCommand(const Options& options, const Season& season,
                                        const std::string& folder, const std::string& output,
                                        unsigned threads) {
  std::vector<std::string> argv = {options.kelvane, "convert", "--work-dir", folder + "work",
                                   "-o",            output};
  if (threads > 0) argv.insert(argv.end(), {"--threads", std::to_string(threads)});
  argv.insert(argv.end(), season.paths.begin(), season.paths.end());
  return argv;
}

std::optional<Figures> Measure(const Options& options, const Season& season,
                               const std::string& folder) {
  const std::string output = folder + "season.pdb";
  const std::vector<std::string> argv = ConvertCommand(options, season, folder, output, 0);
  const std::vector<unsigned> threadCounts = ThreadCounts();

  Figures f;
  f.convertSecondsByThreads.assign(threadCounts.size(), 0);
  for (int run = 0; run < options.runs; ++run) {
    // The floor and the conversion take turns, so both meet the machine as it is.
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    f.unpackedBytes = DecompressAll(season.paths, error);
    const double floorCpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double floor = SecondsSince(start);
    if (!error.empty()) {
      std::cerr << "kelvane_bench: " << error << '\n';
      return std::nullopt;
    }
    f.benchRssBytes = std::max(f.benchRssBytes, OwnResidentBytes());
    ChildRun convert;
    {
      const WorkingAreaWatch watch(folder + "work/JRA-VAN");
      convert = RunChild(argv, folder + "convert.log");
      f.peakUnpackedInWorkBytes = std::max(f.peakUnpackedInWorkBytes, watch.peak());
    }
    if (convert.exitCode != 0) {
      std::cerr << "kelvane_bench: kelvane convert exited with " << convert.exitCode << ", see "
                << folder << "convert.log\n";
      return std::nullopt;
    }
    for (std::size_t t = 0; t < threadCounts.size(); ++t) {
      const ChildRun withThreads =
          RunChild(ConvertCommand(options, season, folder, output, threadCounts[t]), folder + "convert.log");
      if (withThreads.exitCode != 0) {
        std::cerr << "kelvane_bench: kelvane convert --threads " << threadCounts[t] << " exited with "
                  << withThreads.exitCode << '\n';
        return std::nullopt;
      }
      f.convertSecondsByThreads[t] = Best(run, f.convertSecondsByThreads[t], withThreads.seconds);
    }
    f.floorSeconds = Best(run, f.floorSeconds, floor);
    f.floorCpuSeconds = Best(run, f.floorCpuSeconds, floorCpu);
    f.convertSeconds = Best(run, f.convertSeconds, convert.seconds);
    f.convertCpuSeconds = Best(run, f.convertCpuSeconds, convert.cpuSeconds);
    f.peakRssBytes = std::max(f.peakRssBytes, convert.peakRssBytes);
  }
  f.outputBytes = fs::file_size(output);
  return f;
}

void PrintFigures(const Figures& f, const Season& season, int runs) {
  const double ratio = f.convertSeconds / f.floorSeconds;
  const double perArchive = static_cast<double>(f.unpackedBytes) / season.paths.size();
  std::printf("season of %zu archives: %d races, %d runners, %.1f MiB packed, %.1f MiB unpacked\n",
              season.paths.size(), season.races, season.runners, MiB(season.packedBytes),
              MiB(f.unpackedBytes));
  std::printf("  best of %d                       wall-clock         CPU\n", runs);
  std::printf("  floor: libarchive to memory     %8.3f s   %8.3f s\n", f.floorSeconds,
              f.floorCpuSeconds);
  std::printf("  kelvane convert (child process) %8.3f s   %8.3f s\n", f.convertSeconds,
              f.convertCpuSeconds);
  std::printf("  convert / floor                 %8.2f     %8.2f     at most %.1f: %s\n", ratio,
              f.convertCpuSeconds / f.floorCpuSeconds, kMaxFloorRatio,
              Verdict(ratio <= kMaxFloorRatio));
  const std::vector<unsigned> threadCounts = ThreadCounts();
  for (std::size_t t = 0; t < threadCounts.size(); ++t) {
    std::printf("  with %2u unpacking thread%s        %8.3f s   convert / floor %.2f\n", threadCounts[t],
                threadCounts[t] == 1 ? " " : "s", f.convertSecondsByThreads[t],
                f.convertSecondsByThreads[t] / f.floorSeconds);
  }
  std::printf("  records per second              %8.0f\n", season.races / f.convertSeconds);
  std::printf("  output database                 %8.1f MiB\n", MiB(f.outputBytes));
  std::printf("  peak resident memory            %8.1f MiB   at most %.0f MiB: %s\n",
              MiB(f.peakRssBytes), kMemoryAllowanceMiB,
              Verdict(MiB(f.peakRssBytes) <= kMemoryAllowanceMiB));
  std::printf("  most unpacked in the work area  %8.1f MiB   %.1f archives' worth, at most %.0f: %s\n",
              MiB(f.peakUnpackedInWorkBytes), f.peakUnpackedInWorkBytes / perArchive,
              kMaxArchivesInWorkingArea,
              Verdict(f.peakUnpackedInWorkBytes <= kMaxArchivesInWorkingArea * perArchive));
  std::printf("  (the bench's own %.1f MiB, resident when it starts the child, count in that "
              "peak)\n",
              MiB(f.benchRssBytes));
}

// The season, then twice and four times it with --double.
int MeasureSizes(const Options& options, const std::string& folder) {
  const SeasonPlan& plan = options.plan;
  int status = 0;
  Season season;
  std::vector<Figures> sizes;
  for (const int archives : {plan.archives, 2 * plan.archives, 4 * plan.archives}) {
    if (archives != plan.archives && !options.twoSizes) break;
    ExtendSeason(plan, archives, folder, season);
    const auto figures = Measure(options, season, folder);
    if (!figures) {
      status = 1;
      break;
    }
    PrintFigures(*figures, season, options.runs);
    sizes.push_back(*figures);
  }
  if (sizes.size() >= 2) {
    const double growth = sizes[1].convertSeconds / sizes[0].convertSeconds;
    const double floorGrowth = sizes[1].floorSeconds / sizes[0].floorSeconds;
    const double memoryGrowth =
        static_cast<double>(sizes[1].peakRssBytes) / static_cast<double>(sizes[0].peakRssBytes);
    std::printf("twice the season: convert x%.2f wall-clock (at most x%.2f: %s), x%.2f CPU; "
                "floor x%.2f; peak memory x%.2f (at most x1.15: %s)\n",
                growth, floorGrowth * kGrowthAllowance,
                Verdict(growth <= floorGrowth * kGrowthAllowance),
                sizes[1].convertCpuSeconds / sizes[0].convertCpuSeconds, floorGrowth, memoryGrowth,
                Verdict(memoryGrowth <= 1.15));
  }
  return status;
}

int Run(const Options& options) {
  const SeasonPlan& plan = options.plan;
  std::printf("kelvane_bench: archives of %d races x %d-%d runners, registers of %d horses x %d "
              "past runs, -lh5-\n",
              plan.races, plan.minRunners, plan.maxRunners, plan.horses, plan.pastRuns);
  return InFreshFolder("kelvane-bench", options.dir, "season", options.keep,
                       [&](const std::string& folder) { return MeasureSizes(options, folder); });
}

}  // namespace
}  // namespace kelvane::bench

int main(int argc, char** argv) {
  const auto options = kelvane::bench::ParseOptions(argc, argv);
  if (!options) {
    std::cerr << kelvane::bench::kUsage;
    return 2;
  }
  return kelvane::bench::Run(*options);
}
