#include "codes/code_rendering.h"

#include <gtest/gtest.h>

#include <climits>

#include "codes/cp932_test_text.h"

namespace kelvane {
namespace {

struct IntCase {
  int code;
  std::string_view utf8;
};

struct TextCase {
  std::string_view code;
  std::string_view utf8;
};

TEST(ConditionText, ClassByHundredsDigitRules) {
  const IntCase cases[] = {
      {0, "0万下"}, {5, "500万下"}, {16, "1600万下"}, {99, "9900万下"}, {-1, "-100万下"},
      {INT_MIN, "-214748364800万下"}, {100, "1億下"}, {101, ""}, {699, ""}, {800, ""}, {1000, ""},
      {701, "新馬"}, {711, "新馬"}, {702, "未出走"}, {703, "未勝利"}, {704, ""}, {999, "オープン"},
  };
  for (const IntCase& c : cases) EXPECT_EQ(ConditionText(c.code), Sjis(c.utf8)) << c.code;
}

TEST(TrackText, RowArithmeticIncludingGapsAndTheLowSteeplechaseCodes) {
  const IntCase cases[] = {
      {0, ""}, {-1, ""}, {INT_MIN, ""}, {9, ""}, {25, ""}, {28, ""}, {30, ""}, {33, ""}, {34, ""}, {60, ""},
      {10, "芝　直線"}, {23, "ダート　左回り"}, {24, "ダート　右回り"}, {29, "ダート　直線"},
      {35, "芝　直線"}, {50, "ダート　直線"}, {51, "（障害）芝　襷"}, {54, "（障害）芝"},
      {59, "（障害）芝　外２周"},
  };
  for (const IntCase& c : cases) EXPECT_EQ(TrackText(c.code), Sjis(c.utf8)) << c.code;
}

TEST(SexMark, OneCharacterForCodesOneToThree) {
  const IntCase cases[] = {{0, ""}, {1, "牡"}, {2, "牝"}, {3, "せ"}, {4, ""}};
  for (const IntCase& c : cases) EXPECT_EQ(SexMark(c.code), Sjis(c.utf8)) << c.code;
}

TEST(RaceSymbolText, JoinsSymbolSexLimitAndDesignation) {
  const TextCase cases[] = {
      {"A11", "○混牡○指"}, {"D30", "○抽牡・せん"}, {"000", ""}, {"N02", "○国際見習騎手"}, {"P00", ""},
      {"B00", "○父"}, {"041", "牡・牝○指"}, {"G54", "○抽 関西配布馬○特指"}, {"A65", "○混"},
      {"a11", "牡○指"}, {"A", "○混"}, {"", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(RaceSymbolText(c.code), Sjis(c.utf8)) << c.code;
}

TEST(CodeRendering, ListTextsAndIndexesAgree) {
  const struct {
    std::string_view code;
    std::string_view utf8;
    int index;
  } grades[] = {{"A", "G1", 1}, {"F", "Ｊ・ＧⅠ", 6}, {"", "一般競走", 0}, {"a", "一般競走", 0}},
    margins[] = {{"1__", "１ 馬身", 3}, {"4__", " ４ 馬身", 11}, {"Z__", " １０ 馬身", 22}, {"   ", " 不明", 0}},
    racecourses[] = {{"00", "不明", 0}, {"A2", "日本", 44}, {"C4", "(未使用)", 55}, {"F1", "中国", 71},
                     {"11", "", 0}};
  for (const auto& c : grades) {
    EXPECT_EQ(GradeText(c.code), Sjis(c.utf8)) << c.code;
    EXPECT_EQ(GradeIndex(c.code), c.index) << c.code;
  }
  for (const auto& c : margins) {
    EXPECT_EQ(MarginText(c.code), Sjis(c.utf8)) << c.code;
    EXPECT_EQ(MarginIndex(c.code), c.index) << c.code;
  }
  for (const auto& c : racecourses) {
    EXPECT_EQ(RacecourseName(c.code), Sjis(c.utf8)) << c.code;
    EXPECT_EQ(RacecourseIndex(c.code), c.index) << c.code;
  }
}

TEST(RaceTypeIndex, CodeMinusTenFromElevenKeptToEightBits) {
  const std::pair<int, int> cases[] = {{INT_MIN, 0}, {0, 0}, {10, 0}, {11, 1}, {24, 14}, {265, 255}, {266, 0}};
  for (const auto& [code, index] : cases) EXPECT_EQ(RaceTypeIndex(code), index) << code;
}

}  // namespace
}  // namespace kelvane
