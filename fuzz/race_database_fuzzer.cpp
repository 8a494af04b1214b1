// Database bytes in, what `kelvane dump` shows out: a file is either refused with the
// reason or decoded into races that print.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "cli/database_dump.h"
#include "fuzz/fuzz_support.h"
#include "pdb/race_database_reader.h"

using namespace kelvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string problem;
  const auto db = ReadRaceDatabase({data, size}, problem);
  fuzz::Check(db.has_value() == problem.empty(), "a refused file says why, a read one does not");
  if (!db) return 0;
  for (const RaceRecord& record : db->races) {
    fuzz::Check(record.runners.size() == record.race.runnerCount,
                "a record holds a runner part per runner");
  }
  std::ostringstream shown;
  PrintRaceDatabase(*db, shown);
  fuzz::Check(!shown.str().empty(), "a database shows at least its header line");
  return 0;
}
