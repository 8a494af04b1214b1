// kelvane_bench: how a whole season converts, against the decompression floor.
//
//   kelvane_bench [--archives N] [--races N] [--horses N] [--runs N] [--double]
//                 [--kelvane PATH] [--dir DIR] [--keep]
//
// Builds a season of archives (see season.h) in a temporary folder, then, `runs`
// times over, (a) unpacks every archive into memory with libarchive and nothing
// else, the floor, and (b) runs `kelvane convert` on the same archives as a child
// process. The best time of each is reported, with their ratio, records per second
// and the child's peak resident memory. With --double the season of twice as many
// archives is measured as well, and the growth of the conversion time is printed.
// --keep leaves the season and the output database behind, for profiling.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/child_process.h"
#include "bench/decompression_floor.h"
#include "bench/season.h"

namespace kelvane::bench {
namespace {

namespace fs = std::filesystem;

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kMaxFloorRatio = 2.0;
constexpr double kMaxGrowth = 2.0 * 1.15;
constexpr double kMemoryAllowanceMiB = 64.0;

struct Options {
  SeasonPlan plan;
  int runs = 3;
  bool twoSizes = false;
  std::string kelvane = KELVANE_CLI_PATH;
  std::string dir;  // empty: a fresh folder under the system's temporary folder
  bool keep = false;
};

struct Season {
  std::vector<std::string> paths;
  int races = 0;
  int runners = 0;
  std::uint64_t packedBytes = 0;
};

struct Figures {
  int archives = 0;
  double floorSeconds = 0;
  double convertSeconds = 0;
  std::uint64_t unpackedBytes = 0;
  std::uint64_t outputBytes = 0;
  std::uint64_t peakRssBytes = 0;
  int records = 0;
};

const char* kUsage =
    "usage: kelvane_bench [--archives N] [--races N] [--horses N] [--runs N] [--double]\n"
    "                     [--kelvane PATH] [--dir DIR] [--keep]\n";

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    auto number = [&](int& target) {
      target = std::max(1, std::atoi(argv[++i]));
      return true;
    };
    if (arg == "--double") {
      options.twoSizes = true;
    } else if (arg == "--keep") {
      options.keep = true;
    } else if (hasValue && arg == "--archives") {
      number(options.plan.archives);
    } else if (hasValue && arg == "--races") {
      number(options.plan.races);
    } else if (hasValue && arg == "--horses") {
      number(options.plan.horses);
    } else if (hasValue && arg == "--runs") {
      number(options.runs);
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

// Archives 0..count-1 of the plan, written into `folder`; those already written by
// an earlier call are kept.
void ExtendSeason(const SeasonPlan& plan, int count, const std::string& folder, Season& season) {
  for (int i = static_cast<int>(season.paths.size()); i < count; ++i) {
    const SeasonArchive archive = MakeSeasonArchive(plan, i);
    const std::string path = folder + archive.fileName;
    std::ofstream(path, std::ios::binary).write(archive.bytes.data(),
                                                static_cast<std::streamsize>(archive.bytes.size()));
    season.paths.push_back(path);
    season.races += archive.races;
    season.runners += archive.runners;
    season.packedBytes += archive.bytes.size();
  }
}

std::optional<Figures> Measure(const Options& options, const Season& season,
                               const std::string& folder) {
  const std::string output = folder + "season.pdb";
  std::vector<std::string> argv = {options.kelvane, "convert", "--work-dir", folder + "work",
                                   "-o", output};
  argv.insert(argv.end(), season.paths.begin(), season.paths.end());

  Figures figures;
  figures.archives = static_cast<int>(season.paths.size());
  figures.records = season.races;
  for (int run = 0; run < options.runs; ++run) {
    // The floor and the conversion take turns, so both see the same machine.
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    figures.unpackedBytes = DecompressAll(season.paths, error);
    const double floor =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!error.empty()) {
      std::cerr << "kelvane_bench: " << error << '\n';
      return std::nullopt;
    }
    const ChildRun convert = RunChild(argv, folder + "convert.log");
    if (convert.exitCode != 0) {
      std::cerr << "kelvane_bench: kelvane convert exited with " << convert.exitCode << ", see "
                << folder << "convert.log\n";
      return std::nullopt;
    }
    figures.floorSeconds = run == 0 ? floor : std::min(figures.floorSeconds, floor);
    figures.convertSeconds =
        run == 0 ? convert.seconds : std::min(figures.convertSeconds, convert.seconds);
    figures.peakRssBytes = std::max(figures.peakRssBytes, convert.peakRssBytes);
  }
  figures.outputBytes = fs::file_size(output);
  return figures;
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void PrintFigures(const Figures& f, const Season& season, int runs) {
  const double ratio = f.convertSeconds / f.floorSeconds;
  const double outputMiB = static_cast<double>(f.outputBytes) / kMiB;
  const double peakMiB = static_cast<double>(f.peakRssBytes) / kMiB;
  std::printf("season: %d archives, %d races, %d runners, %.1f MiB packed, %.1f MiB unpacked\n",
              f.archives, season.races, season.runners,
              static_cast<double>(season.packedBytes) / kMiB,
              static_cast<double>(f.unpackedBytes) / kMiB);
  std::printf("  floor (libarchive to memory): %8.3f s   (best of %d)\n", f.floorSeconds, runs);
  std::printf("  kelvane convert (child):      %8.3f s   (best of %d)\n", f.convertSeconds, runs);
  std::printf("  ratio convert / floor:        %8.2f     (at most %.1f: %s)\n", ratio,
              kMaxFloorRatio, Verdict(ratio <= kMaxFloorRatio));
  std::printf("  records per second:           %8.0f     (%d records)\n",
              f.records / f.convertSeconds, f.records);
  std::printf("  output database:              %8.1f MiB\n", outputMiB);
  std::printf("  peak resident memory:         %8.1f MiB (at most %.0f + %.1f MiB: %s)\n", peakMiB,
              kMemoryAllowanceMiB, outputMiB, Verdict(peakMiB <= kMemoryAllowanceMiB + outputMiB));
}

std::string MakeFolder(const Options& options) {
  const fs::path parent = options.dir.empty() ? fs::temp_directory_path() : fs::path(options.dir);
  std::string pattern = (parent / "kelvane-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern + "/";
}

int Run(const Options& options) {
  const std::string folder = MakeFolder(options);
  if (folder.empty()) {
    std::cerr << "kelvane_bench: cannot make a folder for the season\n";
    return 1;
  }
  const SeasonPlan& plan = options.plan;
  std::printf("kelvane_bench: %d archives x %d races x %d-%d runners, registers of %d horses "
              "x %d past runs, -lh5-; %u hardware threads\n",
              plan.archives, plan.races, plan.minRunners, plan.maxRunners, plan.horses,
              plan.pastRuns, std::thread::hardware_concurrency());

  int status = 0;
  Season season;
  std::vector<Figures> sizes;
  for (const int archives : {plan.archives, 2 * plan.archives}) {
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
  if (sizes.size() == 2) {
    const double growth = sizes[1].convertSeconds / sizes[0].convertSeconds;
    std::printf("growth for twice the season: convert x%.2f, floor x%.2f (convert at most x%.2f: "
                "%s)\n",
                growth, sizes[1].floorSeconds / sizes[0].floorSeconds, kMaxGrowth,
                Verdict(growth <= kMaxGrowth));
  }
  if (options.keep) {
    std::printf("season kept in %s\n", folder.c_str());
  } else {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  return status;
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
