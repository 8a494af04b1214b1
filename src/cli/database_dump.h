#pragma once

#include <ostream>

#include "pdb/race_database_reader.h"

namespace kelvane {

// Prints a race database as a person reads it, in UTF-8: a line for the file, then
// per race a header line (date, racecourse, race number, name, track and distance,
// post time, runners, start alarm) and a line per runner (frame, number, horse,
// sex and age, weight carried, jockey, estimated odds, running style and the
// finishing positions of its last runs, the most recent first).
void PrintRaceDatabase(const RaceDatabase& db, std::ostream& out);

}  // namespace kelvane
