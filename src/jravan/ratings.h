#pragma once

#include <string>

#include "jravan/runner.h"

namespace kelvane {

// Class level 0 (G1) to 9 (新馬) of a past race; lower is a higher class.
int ClassLevel(const std::string& gradeCode, int conditionCode);

// Running style, suited distance and form rating of a runner just read.
void RateRunner(Runner& runner);

// Estimated odds of the first `count` runners of a race from their form ratings.
// Runners that were not read (form rating 0) take part with the rating 10 of a horse
// without a usable past run.
void EstimateOdds(Runner* runners, int count);

// Whether the horse's most recent run, when it was placed, was ridden by another
// jockey than today's: the names differ byte for byte.
bool JockeyChanged(const Runner& runner, const std::string& todaysJockey);

}  // namespace kelvane
