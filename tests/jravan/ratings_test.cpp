#include "jravan/ratings.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "codes/cp932.h"

namespace kelvane {
namespace {

PastRun PastRunOf(std::string gradeCode, int conditionCode, int finishPosition,
            std::array<int, 4> corners = {1, 1, 1, 1}) {
  PastRun run;
  run.racecourseCode = "05";
  run.gradeCode = std::move(gradeCode);
  run.conditionCode = conditionCode;
  run.finishPosition = finishPosition;
  run.cornerPositions = corners;
  return run;
}

Runner Rated(std::vector<PastRun> runs) {
  Runner runner;
  for (std::size_t m = 0; m < runs.size(); ++m) runner.pastRuns[m] = runs[m];
  RateRunner(runner);
  return runner;
}

TEST(ClassLevel, GradeDecidesFirstThenTheConditionCode) {
  EXPECT_EQ(ClassLevel("A", 5), 0);
  EXPECT_EQ(ClassLevel("B", 701), 1);
  EXPECT_EQ(ClassLevel("C", 999), 2);
  EXPECT_EQ(ClassLevel("D", 5), 6);
  EXPECT_EQ(ClassLevel("", 16), 4);
  EXPECT_EQ(ClassLevel("", 999), 3);
  EXPECT_EQ(ClassLevel("", 9), 5);
  EXPECT_EQ(ClassLevel("", 703), 7);
  EXPECT_EQ(ClassLevel("", 702), 8);
  EXPECT_EQ(ClassLevel("", 701), 9);
  EXPECT_EQ(ClassLevel("a", 701), 9) << "grades compare exactly";
  EXPECT_EQ(ClassLevel("A ", 16), 4);
}

TEST(RateRunner, FormRatingScalesCubesAndSquaresThePointsOfCountedRuns) {
  // 38 + 24 points over two runs, three not read: 2 x 62 = 124, 124^3 / 10000 = 190.
  EXPECT_EQ(Rated({PastRunOf("A", 0, 1), PastRunOf("", 5, 3)}).formRating, 36100);
  // 11 points over one run: 5 x 11 = 55, 55^3 / 10000 = 16.
  EXPECT_EQ(Rated({PastRunOf("", 701, 10)}).formRating, 256);
  EXPECT_EQ(Rated({PastRunOf("", 701, 18)}).formRating, 1) << "a rating of 0 becomes 1";
}

TEST(RateRunner, FormRatingWrapsAround) {
  // -78 points: 5 x -78 = -390, whose cube is taken as unsigned, and whose square of
  // 423564 wraps past 2^31.
  EXPECT_EQ(Rated({PastRunOf("", 701, 99)}).formRating, -982164336);
}

TEST(RateRunner, FormRatingWithoutACountedRunIsTen) {
  EXPECT_EQ(Rated({}).formRating, 10);
  PastRun flagged = PastRunOf("A", 0, 1);
  flagged.resultFlag = 1;
  EXPECT_EQ(Rated({flagged}).formRating, 10);
}

TEST(RateRunner, RunningStyleFollowsTheMeanOfTheFirstTwoCorners) {
  const Runner leader = Rated({PastRunOf("", 0, 1, {2, 2, 1, 1}), PastRunOf("", 0, 1, {3, 4, 3, 2})});
  EXPECT_EQ(leader.runningStyleIndex, 0);
  EXPECT_EQ(leader.runningStyle, 1);
  EXPECT_EQ(leader.runningStyleText, Utf8ToCp932("逃"));
  const Runner unraced = Rated({});
  EXPECT_EQ(unraced.runningStyleIndex, 2);
  EXPECT_EQ(unraced.runningStyle, 3);
  EXPECT_EQ(unraced.runningStyleText, Utf8ToCp932("差"));
  const auto styleAt = [](int a, int b) { return Rated({PastRunOf("", 0, 1, {a, b, 1, 1})}).runningStyleIndex; };
  EXPECT_EQ(styleAt(3, 3), 1);
  EXPECT_EQ(styleAt(5, 6), 1);
  EXPECT_EQ(styleAt(6, 6), 2);
  EXPECT_EQ(styleAt(10, 10), 3);
  EXPECT_EQ(styleAt(18, 18), 3);
  EXPECT_EQ(styleAt(18, 19), 2);
  EXPECT_EQ(Rated({PastRunOf("", 0, 1, {10, 10, 1, 1})}).runningStyleText, Utf8ToCp932("追"));
}

TEST(RateRunner, SuitedDistanceWeighsTheFirstCountPositionWithRuns) {
  Runner runner;
  const std::array<int, 6> counts = {1, 0, 0, 0, 2, 1};
  for (int g = 0; g < 6; ++g) runner.resultCounts[18 + g][0] = counts[g];
  RateRunner(runner);
  EXPECT_EQ(runner.suitedDistance, 2050);

  Runner later;
  later.resultCounts[20][2] = 3;
  later.resultCounts[18][3] = 5;
  RateRunner(later);
  EXPECT_EQ(later.suitedDistance, 2800);

  EXPECT_EQ(Rated({}).suitedDistance, 10);
}

std::vector<int> Odds(const std::vector<int>& formRatings) {
  std::vector<Runner> runners(formRatings.size());
  for (std::size_t i = 0; i < runners.size(); ++i) runners[i].formRating = formRatings[i];
  EstimateOdds(runners.data(), static_cast<int>(runners.size()));
  std::vector<int> odds;
  for (const Runner& runner : runners) odds.push_back(runner.estimatedOdds);
  return odds;
}

TEST(EstimateOdds, SharesThePoolByFormRating) {
  EXPECT_EQ(Odds({100, 50, 10}), (std::vector<int>{12, 25, 127}));
}

TEST(EstimateOdds, WrapsAroundInUnsignedArithmetic) {
  EXPECT_EQ(Odds({1000, 1}), (std::vector<int>{8, 7890}));
  // A form rating that wrapped negative counts as a large unsigned number.
  EXPECT_EQ(Odds({-1, 10}), (std::vector<int>{0, 7}));
}

TEST(EstimateOdds, UnreadRunnersTakePartWithRatingTen) {
  EXPECT_EQ(Odds({100, 0, 0}), Odds({100, 10, 10}));
  std::vector<Runner> runners(3);
  runners[0].formRating = 100;
  EstimateOdds(runners.data(), 3);
  EXPECT_EQ(runners[1].formRating, 0) << "only the odds are written";
  EXPECT_EQ(runners[1].estimatedOdds, 96);
}

TEST(EstimateOdds, TouchesOnlyTheRunnersCounted) {
  std::vector<Runner> runners(2);
  runners[0].formRating = 100;
  runners[1].estimatedOdds = 55;
  EstimateOdds(runners.data(), 1);
  EXPECT_EQ(runners[1].estimatedOdds, 55);
  EstimateOdds(runners.data(), 0);
  EXPECT_EQ(runners[1].estimatedOdds, 55);
}

}  // namespace
}  // namespace kelvane
