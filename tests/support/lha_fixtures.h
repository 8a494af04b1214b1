#pragma once

// The archives of tests/data/lha/kelvane/, made by our own writer (lha_writer.h): one
// small race day packed in the shapes other LHA programs give archives, and in two
// methods not decoded here. `make_lha_fixtures DIR` writes them; a test checks that
// the committed files still match.

#include <string>
#include <vector>

#include "support/lha_writer.h"

namespace kelvane::test {

// The race day every fixture holds: a race card of two races of three runners each
// and the register of their six horses, as "JracDen1.dat" and "JracUmaj.dat".
std::vector<LhaEntry> FixtureDay();

struct LhaFixture {
  std::string fileName;  // e.g. "day-h1-attr21.lzh"
  std::string bytes;
  bool holdsTheDay;      // false: the race card alone, in a method not decoded here
};

std::vector<LhaFixture> LhaFixtures();

}  // namespace kelvane::test
