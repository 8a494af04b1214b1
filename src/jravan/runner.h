#pragma once

// One entry's horse as read from the JRA-VAN horse register ("JracUmaj.dat").
//
// The register is a run of 2881-byte records, each starting with the horse's
// 10-digit registration number (its key). A record holds the horse's own data, six
// pedigree names, 24 groups of result tallies and up to five past runs of 215 bytes.
// Texts are CP932 byte strings.

#include <array>
#include <cstdint>
#include <string>


namespace kelvane {

inline constexpr int kPastRuns = 5;
inline constexpr int kResultGroups = 24;

// One past run of a horse. A run that was not read has an empty `racecourseCode`.
struct PastRun {
  int year = 0;
  int monthDay = 0;
  std::string racecourseCode;
  int meetingNumber = 0;
  int meetingDay = 0;
  int raceNumber = 0;
  std::string textAt16;
  std::string gradeCode;
  int raceTypeCode = 0;
  int raceSymbolValue = 0;
  int weightTypeCode = 0;
  int conditionCode = 0;
  std::string raceName;
  int distance = 0;
  int trackCode = 0;
  int valueAt72 = 0;
  int valueAt74 = 0;
  int valueAt76 = 0;
  int goingCode = 0;
  int weatherCode = 0;
  int valueAt80 = 0;
  int valueAt82 = 0;
  int valueAt83 = 0;
  int weightCarried = 0;
  int valueAt87 = 0;
  int jockeyCode = 0;
  std::string jockeyName;
  int valueAt101 = 0;
  int trainerCode = 0;
  std::string trainerName;
  int resultFlag = 0;
  int valueAt116 = 0;
  int valueAt119 = 0;
  std::array<int, 4> cornerPositions{};
  std::array<int, 3> valuesAt130{};
  int finishTime = 0;
  std::string marginCode;
  int valueAt143 = 0;
  int finishPosition = 0;
  int valueAt147 = 0;
  int valueAt149 = 0;
  std::array<int, 4> amountsAt153{};
  std::string otherHorseId;
  std::string otherHorseName;
  int valueAt209 = 0;
  int timeDifference = 0;

  int otherHorseTime = 0;
  std::string conditionText;
  std::string trackText;
  std::string gradeText;
  std::string weatherText;
  std::string goingText;
  std::string racecourseName;
  std::string marginText;

  std::string raceTypeCodeText;
  std::string raceSymbolCodeText;
  char weightTypeChar = 0;
  char gradeChar = 0;
  std::string conditionCodeText;
  std::string trackCodeText;
  char goingChar = 0;
  char weatherChar = 0;
  char charAt83 = 0;
  char charAt87 = 0;
  char charAt101 = 0;
  char resultFlagChar = 0;

  bool WasRead() const { return !racecourseCode.empty(); }

  bool operator==(const PastRun&) const = default;
};

struct Runner {
  int valueAt20 = 0;
  std::string horseName;
  int valueAt550 = 0;
  std::string nameAt444;
  std::string nameAt490;

  int breedCode = 0;
  int sexCode = 0;
  int coatColourCode = 0;
  int birthMonthDay = 0;
  std::string textAt420;
  int horseMarkCode = 0;
  int valueAt563 = 0;
  std::string textAt564;

  std::array<std::string, 6> pedigreeNames;

  int amountAt588 = 0;
  int amountAt595 = 0;
  std::array<int, 2> amountsAt602{};

  std::array<std::array<int, 4>, kResultGroups> resultCounts{};

  std::array<PastRun, kPastRuns> pastRuns;

  std::string coatColourText;
  std::string breedText;
  std::string sexText;
  std::string runningStyleText;
  std::string horseMarkText;
  std::string textAt555;

  int age = 0;
  int birthYear = 0;
  int estimatedOdds = 0;
  int suitedDistance = 0;
  int runningStyleIndex = 0;
  int runningStyle = 0;
  int formRating = 0;

  char breedChar = 0;
  char sexChar = 0;
  std::string coatColourCodeText;
  std::string horseMarkCodeText;

  std::uint16_t pastRunCount = 0;

  bool operator==(const Runner&) const = default;
};

}  // namespace kelvane
