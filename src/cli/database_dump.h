#pragma once

#include <ostream>

#include "pdb/race_database_reader.h"

namespace kelvane {

// Prints a race database as a person reads it, in UTF-8: a line for the file, then
// per race a header line (date, racecourse, race number, name, track and distance,
// post time, runners, start alarm) and a line per runner (frame, number, horse,
// sex and age, weight carried, jockey, estimated odds, running style and the
// finishing positions of its last runs, the most recent first). A runner whose
// horse could not be read says so instead of showing a horse.
void PrintRaceDatabase(const RaceDatabase& db, std::ostream& out);

// Prints a race database as one JSON document (docs/race-database.schema.json): the
// header, then every field of every race part, runner part and past-run block under
// its field name, the text of each index beside it, texts in UTF-8. The same
// database always gives the same bytes.
void PrintRaceDatabaseJson(const RaceDatabase& db, std::ostream& out);

}  // namespace kelvane
