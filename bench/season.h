#pragma once

// A made-up season of race-card archives for the benchmark: one archive per meeting
// day, each holding a race card of `races` races with `minRunners` to `maxRunners`
// runners and a horse register of `horses` horses with `pastRuns` past runs each.
// Every runner of a day is a different horse of that day's register.
//
// Archive i depends only on the plan and on i (it draws from its own fixed
// pseudo-random sequence), so a season is the same bytes on every run, and the
// first n archives of a longer season are those of the season of n.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane::bench {

struct SeasonPlan {
  int archives = 52;
  int races = 36;
  int minRunners = 8;
  int maxRunners = 18;
  int horses = 600;
  int pastRuns = 5;
};

struct SeasonArchive {
  std::string fileName;  // "day-001.lzh", ...
  std::string bytes;     // -lh5- LHA archive with JracDen1.dat and JracUmaj.dat
  int races = 0;
  int runners = 0;
};

// Archive `index` (from 0) of the season.
SeasonArchive MakeSeasonArchive(const SeasonPlan& plan, int index);

// The archives of a season written into a folder, and what they hold.
struct Season {
  std::vector<std::string> paths;
  int races = 0;
  int runners = 0;
  std::uint64_t packedBytes = 0;
};

// Writes archives season.paths.size() .. count-1 of the plan into `folder` (a path
// ending in '/').
void ExtendSeason(const SeasonPlan& plan, int count, const std::string& folder, Season& season);

}  // namespace kelvane::bench
