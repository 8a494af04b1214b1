#pragma once

// One race of a JRA-VAN race card ("JracDen1.dat"), with up to 18 entries.
//
// The race card is a text file with one race per line. A line holds 1461 bytes of
// fixed-width Shift-JIS fields: a race part of 327 bytes, then 18 entry slots of
// 63 bytes. Coded fields are kept twice where the record needs both: the code as
// read and a display text made from it. Texts are CP932 byte strings; the two path
// fields are the platform's own (UTF-8) paths.

#include <array>
#include <string>

namespace kelvane {

inline constexpr int kMaxRunners = 18;
// Per-entry arrays are indexed by the entry number 1..18; slot 0 stays unused.
inline constexpr int kEntrySlots = kMaxRunners + 1;

// One value per entry slot: a type of its own, so that a field table tells a member
// that holds one value per entry from an array of values of one field.
template <typename T>
struct PerEntry : std::array<T, kEntrySlots> {};

struct Race {
  std::string cardPath;
  std::string horseFilePath;

  int year = 0;
  int meetingNumber = 0;
  int meetingDay = 0;
  int raceNumber = 0;
  int monthDay = 0;
  int weekdayCode = 0;
  int valueAt319 = 0;

  std::string raceName;
  std::string textAt77;
  std::string raceSymbolCode;
  std::string gradeCode;

  int valueAt83 = 0;
  int raceTypeCode = 0;
  int weightTypeCode = 0;
  std::array<int, 5> conditionCodes{};
  int distance = 0;
  int trackCode = 0;
  int runnerCount = 0;  // clamped to 0..18 when read
  std::array<int, 5> amountsAt148{};
  std::array<int, 3> amountsAt197{};
  int saleCode = 0;
  int valueAt237 = 0;
  int valueAt247 = 0;
  int valueAt249 = 0;
  int valueAt251 = 0;
  int valueAt232 = 0;
  int postTime = 0;

  PerEntry<int> horseNumbers{};
  PerEntry<int> frameNumbers{};
  PerEntry<int> sexCodes{};
  PerEntry<int> entryFlagCodes{};
  PerEntry<int> weightsCarried{};
  PerEntry<int> jockeyCodes{};
  PerEntry<int> trainerFlagCodes{};
  PerEntry<int> trainerCodes{};

  std::string racecourseCode;
  std::string racecourseName;
  std::string weekdayText;
  std::string raceTypeText;
  std::string raceSymbolText;
  std::string weightTypeText;
  std::array<std::string, 5> conditionTexts;
  std::string trackText;
  std::string gradeText;
  std::string saleText;

  PerEntry<std::string> sexTexts;
  PerEntry<std::string> horseNames;
  PerEntry<std::string> jockeyNames;
  PerEntry<std::string> trainerNames;
  PerEntry<std::string> horseIds;

  std::string textAt245;
  char gradeChar = 0;
  char weightTypeChar = 0;
  char charAt232 = 0;
  int valueAt233 = 0;
  std::string raceTypeCodeText;
  std::string trackCodeText;
  std::array<std::string, 5> conditionCodeTexts;
  char charAt253 = 0;
  char charAt254 = 0;
  std::string textAt267;
  char charAt285 = 0;
  int valueAt286 = 0;
  std::string textAt294;
  std::string textAt308;
  char saleChar = 0;

  PerEntry<char> sexChars{};
  PerEntry<char> entryFlagChars{};
  PerEntry<std::string> jockeyCodeTexts;
  PerEntry<std::string> trainerCodeTexts;
  PerEntry<char> trainerFlagChars{};

  bool operator==(const Race&) const = default;
};

}  // namespace kelvane
