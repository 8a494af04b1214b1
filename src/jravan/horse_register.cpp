#include "jravan/horse_register.h"

#include <array>
#include <cstdint>
#include <utility>

#include "jravan/field_table.h"
#include "jravan/file_contents.h"
#include "jravan/horse_fields.h"
#include "jravan/ratings.h"
#include "jravan/text_mode_reader.h"
#include "messages/texts.h"

namespace kelvane {
namespace {

// From the end of one key to the start of the next.
constexpr std::size_t kRestOfRecord = kHorseRecordSize - kHorseKeySize;

constexpr std::string_view kEndOfPastRuns = "    ";

// a + b and a - b with 32-bit wrap-around, never overflowing.
int WrappingSum(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
int WrappingDifference(int a, int b) {
  return static_cast<int>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// A corner without a position takes the first corner's, and 7 when the first has
// none either.
void FillMissingCorners(std::array<int, 4>& corners) {
  const int fill = corners[0] == 0 ? 7 : corners[0];
  for (int& corner : corners) {
    if (corner == 0) corner = fill;
  }
}

// A past run's own fields after they are taken.
void CompletePastRun(PastRun& run) {
  FillMissingCorners(run.cornerPositions);
  run.otherHorseTime = WrappingSum(run.finishTime, run.timeDifference);
}

// Takes the past runs of a record, whose fields start at `rest`, up to the first
// whose year field is four spaces; the end of the bytes read.
std::size_t TakePastRuns(std::string_view rest, Runner& runner) {
  constexpr std::size_t kFirst = kPastRunsOfRecordAt - kHorseKeySize;
  std::size_t read = kFirst;
  runner.pastRunCount = 0;
  for (PastRun& run : runner.pastRuns) {
    const std::size_t at = kFirst + kPastRunEntrySize * runner.pastRunCount;
    read = at + kEndOfPastRuns.size();
    if (TakeText(FieldBytes(rest, at, kEndOfPastRuns.size())) == kEndOfPastRuns) break;
    read = at + kPastRunEntrySize;
    ++runner.pastRunCount;
    TakeFields<kPastRunFields>(FieldBytes(rest, at, kPastRunEntrySize), 0, run);
    CompletePastRun(run);
  }
  for (std::size_t m = runner.pastRunCount; m < runner.pastRuns.size(); ++m) {
    runner.pastRuns[m].racecourseCode.clear();
  }
  return read;
}

}  // namespace

HorseRegister::HorseRegister(std::string bytes) : bytes_(std::move(bytes)) {
  TextModeReader input(bytes_);
  for (;;) {
    const std::string key = input.Read(kHorseKeySize);
    if (key.size() < kHorseKeySize) return;
    recordAfterKey_.try_emplace(std::string(CutAtNul(key)), input.position());  // first wins
    input.Skip(kRestOfRecord);
  }
}

std::optional<HorseRegister> HorseRegister::Open(const std::string& path, MessageSink& messages) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) {
    messages.ShowMessage({WithValue(texts::kHorseRegisterNotOpened, "%s", path)});
    return std::nullopt;
  }
  return HorseRegister(std::move(*bytes));
}

std::optional<std::size_t> HorseRegister::FindRecord(std::string_view horseId) const {
  const auto found = recordAfterKey_.find(std::string(CutAtNul(horseId)));
  if (found == recordAfterKey_.end()) return std::nullopt;
  return found->second;
}

bool HorseRegister::ReadHorseRecord(std::string_view horseId, int raceYear, Runner& runner,
                               MessageSink& messages) const {
  const std::optional<std::size_t> record = FindRecord(horseId);
  if (!record || !ReadRecord(*record, raceYear, runner)) {
    runner = Runner();  // whatever a cut or junk record left in it goes
    messages.ShowMessage({texts::kHorseNotRead});
    return false;
  }
  return true;
}

bool HorseRegister::ReadRecord(std::size_t afterKey, int raceYear, Runner& runner) const {
  // The fields that a record is read for hold no CR when the record reads at all,
  // so their characters are their bytes: each field is where the layout puts it.
  const std::string_view rest = std::string_view(bytes_).substr(afterKey);
  TakeFields<kHorseFields>(rest, kHorseKeySize, runner);
  runner.age = WrappingDifference(raceYear, runner.birthYear);
  if (!ReadWhole(rest, TakePastRuns(rest, runner))) return false;
  runner.estimatedOdds = 100;
  RateRunner(runner);
  return true;
}

}  // namespace kelvane
