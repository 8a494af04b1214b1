// Horse register bytes in, runners out: the keys at the start of every 2881-byte record
// are looked up, as a race card would name them, plus one key the register lacks. Each
// runner read must hold at most five past runs, with the unread ones marked so, and
// the runners of one race must rate and encode into runner parts of the fixed length.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "jravan/horse_fields.h"
#include "jravan/horse_register.h"
#include "jravan/race.h"
#include "jravan/ratings.h"
#include "pdb/race_record.h"

using namespace kelvane;

namespace {

constexpr int kRaceYear = 2003;

void CheckPastRuns(const Runner& runner) {
  fuzz::Check(runner.pastRunCount <= kPastRuns, "at most five past runs");
  for (std::size_t m = runner.pastRunCount; m < runner.pastRuns.size(); ++m) {
    fuzz::Check(!runner.pastRuns[m].WasRead(), "past runs beyond the count are unread");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::CountingSink messages;
  const std::string bytes = fuzz::AsString(data, size);
  const HorseRegister horses(bytes);

  std::vector<Runner> runners(kEntrySlots);
  Race race;
  for (std::size_t at = 0; at < bytes.size() && race.runnerCount < kMaxRunners; at += kHorseRecordSize) {
    const std::string key = bytes.substr(at, kHorseKeySize);
    Runner& runner = runners[static_cast<std::size_t>(race.runnerCount)];
    const int shown = messages.count;
    if (!horses.ReadHorseRecord(key, kRaceYear, runner, messages)) {
      fuzz::Check(messages.count == shown + 1 && runner == Runner{},
                  "a horse that fails says so once and stays fresh");
      continue;
    }
    CheckPastRuns(runner);
    race.horseIds[static_cast<std::size_t>(++race.runnerCount)] = key;
  }
  Runner stranger;
  horses.ReadHorseRecord("no such id", kRaceYear, stranger, messages);

  EstimateOdds(runners.data(), race.runnerCount);
  Bytes parts;
  for (int j = 0; j < race.runnerCount; ++j) {
    AppendRunnerPart(parts, race, j + 1, runners[static_cast<std::size_t>(j)]);
  }
  fuzz::Check(parts.size() == kRunnerPartSize * static_cast<std::size_t>(race.runnerCount),
              "a runner part is 1116 bytes");
  return 0;
}
