// kelvane_viewer_bench: how the database viewer opens a season's database.
//
//   kelvane_viewer_bench [--days N] [--races N] [--horses N] [--runs N] [--kelvane PATH]
//                        [--dir DIR] [--keep]
//
// Writes N meeting days of the benchmark season (season.h; 400 days of 36 races by
// default: 14,400 races, some 211 MB of database; --races and --horses make the days
// smaller, for a quick run) into a fresh folder under DIR (the system's
// temporary folder by default) and converts them with `kelvane convert` into one
// database. Then, `runs` times, a child process opens it in the viewer on Qt's
// offscreen platform, as `kelvane-desktop FILE.pdb` does: from reading the file to the
// viewer drawn with the first race's runners. Reported: the best opening time, and
// the child's peak resident memory, with what it held before the file was opened
// (Qt and the fonts). The goals are only printed; the exit status is 0 when every
// step ran.
//
//   kelvane_viewer_bench --open FILE.pdb
//
// is that child: it prints "seconds", "peak" and "before" lines.

#include <QApplication>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/platform.h"
#include "bench/reporting.h"
#include "bench/season.h"
#include "desktop/database_viewer.h"
#include "desktop/desktop_prompts.h"

namespace kelvane::bench {
namespace {

namespace fs = std::filesystem;

constexpr double kMaxOpenSeconds = 0.5;
constexpr double kMaxPeakMiB = 64.0;

struct Options {
  int days = 400;
  SeasonPlan plan;
  int runs = 3;
  std::string kelvane = KELVANE_CLI_PATH;
  std::string dir;
  bool keep = false;
  std::string open;  // the child's database
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--keep") {
      options.keep = true;
    } else if (hasValue && arg == "--days") {
      options.days = std::max(1, std::atoi(argv[++i]));
    } else if (hasValue && arg == "--races") {
      options.plan.races = std::max(1, std::atoi(argv[++i]));
    } else if (hasValue && arg == "--horses") {
      options.plan.horses = std::max(1, std::atoi(argv[++i]));
    } else if (hasValue && arg == "--runs") {
      options.runs = std::max(1, std::atoi(argv[++i]));
    } else if (hasValue && arg == "--kelvane") {
      options.kelvane = argv[++i];
    } else if (hasValue && arg == "--dir") {
      options.dir = argv[++i];
    } else if (hasValue && arg == "--open") {
      options.open = argv[++i];
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// The child: opens the viewer as the desktop program does and says what it took.
int OpenInViewer(int argc, char** argv, const std::string& database) {
  QApplication app(argc, argv);
  const std::uint64_t before = OwnResidentBytes();
  const auto start = std::chrono::steady_clock::now();
  QString reason;
  auto db = ReadDatabaseFile(QString::fromStdString(database), reason);
  if (!db) {
    std::fprintf(stderr, "kelvane_viewer_bench: %s\n", qPrintable(reason));
    return 1;
  }
  DatabaseViewer viewer(std::move(*db), QString::fromStdString(database), *SystemPrompts().boxes);
  viewer.show();
  QApplication::processEvents();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("seconds %.6f\npeak %llu\nbefore %llu\n", seconds,
              static_cast<unsigned long long>(OwnPeakResidentBytes()),
              static_cast<unsigned long long>(before));
  return 0;
}

// The "name value" lines the child printed.
std::map<std::string, double> ChildFigures(const std::string& logPath) {
  std::map<std::string, double> figures;
  std::ifstream log(logPath);
  for (std::string name; log >> name;) {
    double value = 0;
    if (log >> value) figures[name] = value;
    log.clear();
  }
  return figures;
}

std::string MakeDatabase(const Options& options, const std::string& folder, Season& season) {
  ExtendSeason(options.plan, options.days, folder, season);
  const std::string output = folder + "season.pdb";
  std::vector<std::string> argv = {options.kelvane, "convert", "--work-dir", folder + "work",
                                   "-o", output};
  argv.insert(argv.end(), season.paths.begin(), season.paths.end());
  const ChildRun convert = RunChild(argv, folder + "convert.log");
  if (convert.exitCode != 0) {
    std::cerr << "kelvane_viewer_bench: kelvane convert exited with " << convert.exitCode
              << ", see " << folder << "convert.log\n";
    return {};
  }
  for (const std::string& path : season.paths) fs::remove(path);  // the database is enough
  return output;
}

int Measure(const Options& options, const std::string& folder) {
  Season season;
  const std::string database = MakeDatabase(options, folder, season);
  if (database.empty()) return 1;
  std::printf("database of %d meeting days: %d races, %d runners, %.1f MiB\n", options.days,
              season.races, season.runners, MiB(fs::file_size(database)));

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::vector<std::string> argv = {fs::read_symlink("/proc/self/exe").string(), "--open",
                                         database};
  double best = 0;
  double peak = 0;
  double before = 0;
  for (int run = 0; run < options.runs; ++run) {
    const ChildRun child = RunChild(argv, folder + "viewer.log");
    auto figures = ChildFigures(folder + "viewer.log");
    if (child.exitCode != 0 || !figures.count("seconds")) {
      std::cerr << "kelvane_viewer_bench: the viewer exited with " << child.exitCode << ", see "
                << folder << "viewer.log\n";
      return 1;
    }
    best = run == 0 ? figures["seconds"] : std::min(best, figures["seconds"]);
    peak = std::max(peak, figures["peak"]);
    before = std::max(before, figures["before"]);
  }
  const double peakMiB = peak / kMiB;
  std::printf("  best of %d: opened and drawn in   %8.3f s     at most %.1f s: %s\n", options.runs,
              best, kMaxOpenSeconds, Verdict(best <= kMaxOpenSeconds));
  std::printf("  peak resident memory            %8.1f MiB   at most %.0f MiB: %s\n", peakMiB,
              kMaxPeakMiB, Verdict(peakMiB <= kMaxPeakMiB));
  std::printf("  of which before the file opened %8.1f MiB   (Qt, the fonts, the program)\n",
              before / kMiB);
  return 0;
}

}  // namespace
}  // namespace kelvane::bench

int main(int argc, char** argv) {
  const auto options = kelvane::bench::ParseOptions(argc, argv);
  if (!options) {
    std::cerr << "usage: kelvane_viewer_bench [--days N] [--races N] [--horses N] [--runs N]\n"
                 "                            [--kelvane PATH] [--dir DIR] [--keep]\n";
    return 2;
  }
  if (!options->open.empty()) return kelvane::bench::OpenInViewer(argc, argv, options->open);
  return kelvane::bench::InFreshFolder(
      "kelvane-viewer-bench", options->dir, "database", options->keep,
      [&](const std::string& folder) { return kelvane::bench::Measure(*options, folder); });
}
