// Race card bytes in, every race of it out. Each race read must hold 0 to 18 runners
// and make a record whose length agrees with its runner count; the race after the
// last line must fail.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "jravan/race_card.h"
#include "jravan/runner.h"
#include "pdb/race_record.h"

using namespace kelvane;

namespace {

void CheckRecordOf(const Race& race) {
  Bytes record;
  AppendRacePart(record, race, true);
  for (int entry = 1; entry <= race.runnerCount; ++entry) {
    AppendRunnerPart(record, race, entry, Runner{});
  }
  fuzz::Check(record.size() == RaceRecordSize(static_cast<std::size_t>(race.runnerCount)),
              "a record is 152 + 1116 bytes per runner");
  const auto decoded = DecodeRaceRecord(record);
  fuzz::Check(decoded && decoded->race.runnerCount == race.runnerCount,
              "a record reads back with its runner count");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::CountingSink messages;
  const RaceCard card("work/JracDen1.dat", fuzz::AsString(data, size));
  const int lines = card.CountRaces();
  for (int number = 1; number <= lines; ++number) {
    Race race;
    const int shown = messages.count;
    if (!card.ReadRace(number, race, messages)) {
      fuzz::Check(messages.count == shown + 1 && race == Race{},
                  "a race that fails says so once and stays fresh");
      continue;
    }
    fuzz::Check(messages.count == shown, "a race read shows nothing");
    fuzz::Check(race.runnerCount >= 0 && race.runnerCount <= kMaxRunners,
                "a race holds 0 to 18 runners");
    CheckRecordOf(race);
  }
  Race beyond;
  fuzz::Check(!card.ReadRace(lines + 1, beyond, messages), "no race past the last line");
  return 0;
}
