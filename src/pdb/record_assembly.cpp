// Placeholder until race records land: no record is added.
#include "pdb/record_assembly.h"

namespace kelvane {

void AssembleRecords(PalmDatabase&, const std::vector<Race>&, bool, MessageSink&) {}

void BuildRaceRecord(PalmDatabase&, const Race&, bool, MessageSink&) {}

}  // namespace kelvane
