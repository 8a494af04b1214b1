#pragma once

#include <vector>

#include "jravan/message_sink.h"
#include "jravan/race.h"
#include "pdb/palm_database.h"

namespace kelvane {

// Adds one record per race to `db`, in list order: the race, then every runner read
// from the race's horse register with its odds estimated. `alarm` sets the start
// alarm byte of every record.
void AssembleRecords(PalmDatabase& db, const std::vector<Race>& races, bool alarm,
                     MessageSink& messages);

// Builds and adds the record of one race.
void BuildRaceRecord(PalmDatabase& db, const Race& race, bool alarm, MessageSink& messages);

}  // namespace kelvane
