#include "jravan/ratings.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "codes/code_tables.h"

namespace kelvane {
namespace {

// The rating of a horse without a usable past run; runners that were not read
// (form rating 0) take part in the odds with it.
constexpr int kRatingWithoutForm = 10;
constexpr int kNoSuitedDistance = 10;

// Result tally groups of the distance bands 1400, 2000 and 2800, in two halves.
constexpr std::size_t kShortGroup = 18, kMiddleGroup = 19, kLongGroup = 20;
constexpr std::size_t kSecondHalf = 3;

int SuitedDistance(const Runner& h) {
  const auto& groups = h.resultCounts;
  for (std::size_t j = 0; j < groups[0].size(); ++j) {
    const std::int64_t shorter = std::int64_t{groups[kShortGroup][j]} + groups[kShortGroup + kSecondHalf][j];
    const std::int64_t middle = std::int64_t{groups[kMiddleGroup][j]} + groups[kMiddleGroup + kSecondHalf][j];
    const std::int64_t longer = std::int64_t{groups[kLongGroup][j]} + groups[kLongGroup + kSecondHalf][j];
    const std::int64_t runs = shorter + middle + longer;
    if (runs != 0) return static_cast<int>((1400 * shorter + 2000 * middle + 2800 * longer) / runs);
  }
  return kNoSuitedDistance;
}

// 0 逃, 1 先, 2 差, 3 追, from the mean of the first two corner positions.
int RunningStyleIndex(const Runner& h) {
  std::int64_t cornerSum = 0;
  std::int64_t runs = 0;
  for (const PastRun& run : h.pastRuns) {
    if (!run.WasRead()) continue;
    cornerSum += std::int64_t{run.cornerPositions[0]} + run.cornerPositions[1];
    ++runs;
  }
  if (runs == 0) return 2;
  const std::int64_t mean = cornerSum / runs;
  if (mean < 6) return 0;
  if (mean < 12) return 1;
  if (mean >= 20 && mean <= 36) return 3;
  return 2;
}

// The points of the past runs that count (each 39 - 2 x class level - finishing
// position), scaled up for the runs that do not, cubed, divided by 10000 and squared.
int FormRating(const Runner& h) {
  std::int64_t points = 0;
  int skipped = 0;
  for (const PastRun& run : h.pastRuns) {
    if (run.resultFlag != 0 || !run.WasRead()) {
      ++skipped;
      continue;
    }
    points += 20 - 2 * ClassLevel(run.gradeCode, run.conditionCode);
    points += 19 - std::int64_t{run.finishPosition};
  }
  if (skipped == kPastRuns) return kRatingWithoutForm;
  const std::int64_t scaled = (kPastRuns / (kPastRuns - skipped)) * points;
  const auto v = static_cast<std::uint32_t>(scaled);
  const std::uint32_t cube = v * v * v;
  const std::uint32_t root = cube / 10000;
  const std::uint32_t rating = root * root;
  return rating == 0 ? 1 : static_cast<int>(rating);
}

// Truncation toward zero with the out-of-range cases defined (they saturate). The
// odds never reach them: 0.82 x total stays below 2^32 and -0.5 x total / r, with
// r at least 1, stays above -2^31.
std::uint32_t TruncateToUnsigned(double x) {
  if (!(x > 0)) return 0;
  if (x >= 4294967296.0) return std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(x);
}

std::int32_t TruncateToSigned(double x) {
  if (std::isnan(x)) return 0;
  if (x <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  if (x >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(x);
}

// The form rating as the odds see it: its unsigned 32-bit value, 10 when unread.
std::uint32_t OddsRating(const Runner& h) {
  return static_cast<std::uint32_t>(h.formRating == 0 ? kRatingWithoutForm : h.formRating);
}

}  // namespace

int ClassLevel(const std::string& gradeCode, int conditionCode) {
  if (gradeCode == "A") return 0;
  if (gradeCode == "B") return 1;
  if (gradeCode == "C") return 2;
  switch (conditionCode) {
    case 999: return 3;
    case 9: return 5;
    case 5: return 6;
    case 703: return 7;
    case 702: return 8;
    case 701: return 9;
    default: return 4;
  }
}

void RateRunner(Runner& runner) {
  runner.suitedDistance = SuitedDistance(runner);
  runner.runningStyleIndex = RunningStyleIndex(runner);
  runner.runningStyle = runner.runningStyleIndex + 1;
  runner.runningStyleText = RunningStyleTable.Row(runner.runningStyleIndex);
  runner.formRating = FormRating(runner);
}

// Every integer step is unsigned 32-bit with wrap-around; only the two floating
// steps go through double.
void EstimateOdds(Runner* runners, int count) {
  if (count <= 0) return;
  const std::span<Runner> race(runners, static_cast<std::size_t>(count));
  std::uint32_t total = 0;
  for (const Runner& runner : race) total += OddsRating(runner);
  const std::uint32_t pool = TruncateToUnsigned(0.82 * total);
  for (Runner& runner : race) {
    const std::uint32_t rating = OddsRating(runner);
    const std::uint32_t q1 = (pool - rating) / 10;
    const std::uint32_t q2 = (10 * pool - 10 * q1) / rating;
    const std::int32_t bonus = TruncateToSigned(-0.5 * total / rating);
    runner.estimatedOdds = static_cast<int>(q2 - static_cast<std::uint32_t>(bonus));
  }
}

bool JockeyChanged(const Runner& runner, const std::string& todaysJockey) {
  const PastRun& lastRun = runner.pastRuns[0];
  return lastRun.finishPosition > 0 && lastRun.jockeyName != todaysJockey;
}

}  // namespace kelvane
