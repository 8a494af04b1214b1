#include "codes/code_tables.h"

#include <gtest/gtest.h>

#include "codes/cp932_test_text.h"

namespace kelvane {
namespace {

// Each table's rows fit its width (text plus NUL); rows outside are empty.
template <typename... Tables>
void ExpectRowsFitTheirWidth(const Tables&... tables) {
  int table = 0;
  auto expectFit = [&table](const auto& t) {
    for (int row = 0; row < t.kRows; ++row) EXPECT_LE(t.Row(row).size(), t.kWidth - 1) << table << ":" << row;
    EXPECT_EQ(t.Row(-1) + t.Row(t.kRows), "") << table;
    ++table;
  };
  (expectFit(tables), ...);
}

TEST(CodeTables, RowsFitTheirWidthAndRowsOutsideAreEmpty) {
  ExpectRowsFitTheirWidth(WeekdayTable, RaceTypeTable, RaceSymbolLetters, RaceSymbolTable, SexLimitTable,
                          DesignationTable, WeightTypeTable, SaleTable, TrackTable, TrackConditionTable,
                          WeatherTable, BreedTable, HorseSexTable, CoatColourTable, HorseMarkTable,
                          RunningStyleTable);
}

TEST(CodeTables, TrickyRowsHoldExactCp932Bytes) {
  const struct {
    std::string_view actual;
    std::string_view hex;
  } cases[] = {
      {RaceTypeTable.RowView(1), "bb d7 82 51 8d ce"},                   // ｻﾗ２歳
      {RaceTypeTable.RowView(8), "bb d7 8f e1 8a 51 82 52 8d ce 8f e3"},  // ｻﾗ障害３歳上
      {RaceTypeTable.RowView(14), "b1 d7 82 53 8d ce 8f e3"},             // ｱﾗ４歳上
      {RaceSymbolTable.RowView(7), "81 9b 92 8a 20 8a d6 90 bc 94 7a 95 7a 94 6e"},  // ○抽 関西配布馬
      {TrackTable.RowView(4), "8e c5 81 40 8d b6 89 f1 82 e8 81 62 93 e0 81 a8 8a 4f 89 f1 82 e8"},
      {TrackTable.RowView(18), "81 69 8f e1 8a 51 81 6a 8e c5 81 40 81 a8 81 40 83 5f 81 5b 83 67"},
      {CoatColourTable.RowView(9), "8e ad 94 90 96 d1"},                  // 鹿柏毛
      {GradeList.TextOf("F"), "82 69 81 45 82 66 87 54"},                // Ｊ・ＧⅠ
      {GradeList.TextOf("G"), "82 69 81 45 82 66 87 55"},
      {GradeList.TextOf("H"), "82 69 81 45 82 66 87 56"},
      {MarginList.TextOf("_12"), "31 2f 32 20 94 6e 90 67"},              // 1/2 馬身
      {MarginList.TextOf("4__"), "20 82 53 20 94 6e 90 67"},              // " ４ 馬身"
      {MarginList.TextOf("A__"), "20 b1 c0 cf"},                          // " ｱﾀﾏ"
      {MarginList.TextOf("Z__"), "20 82 50 82 4f 20 94 6e 90 67"},        // " １０ 馬身"
      {RacecourseList.TextOf("C4"), "28 96 a2 8e 67 97 70 29"},           // (未使用)
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, Bytes(c.hex)) << c.hex;
}

TEST(CodeTables, RowsChosenByCode) {
  EXPECT_EQ(WeekdayTable.Row(1), Sjis("土"));
  EXPECT_EQ(WeekdayTable.Row(0) + WeekdayTable.Row(9), "");
  EXPECT_EQ(RaceTypeTable.Row(0 - 10) + RaceTypeTable.Row(15 - 10), "");
  EXPECT_EQ(SaleTable.Row(0), Sjis("全国発売なし"));
  EXPECT_EQ(TrackConditionTable.Row(0), Sjis("不明"));
  EXPECT_EQ(WeatherTable.Row(4), Sjis("小雨"));
  EXPECT_EQ(HorseMarkTable.Row(13) + HorseMarkTable.Row(14), "");
  EXPECT_EQ(HorseMarkTable.Row(27), Sjis("○父□外"));
  EXPECT_EQ(RaceSymbolLetters.RowOf("N"), 14);
  EXPECT_EQ(RaceSymbolLetters.RowOf("P"), -1);
}

TEST(CodeLists, IndexNumbersAtTheirEndsAndDefaults) {
  EXPECT_EQ(GradeList.size(), 8u);
  EXPECT_EQ(GradeList.IndexOf("A"), 1);
  EXPECT_EQ(GradeList.IndexOf("H"), 8);
  EXPECT_EQ(MarginList.size(), 22u);
  EXPECT_EQ(MarginList.IndexOf("_12"), 1);
  EXPECT_EQ(MarginList.IndexOf("Z__"), 22);
  EXPECT_EQ(RacecourseList.size(), 83u);
  EXPECT_EQ(RacecourseList.IndexOf("00"), 0);
  EXPECT_EQ(RacecourseList.IndexOf("01"), 1);
  EXPECT_EQ(RacecourseList.IndexOf("61"), 42);
  EXPECT_EQ(RacecourseList.IndexOf("A0"), 43);
  EXPECT_EQ(RacecourseList.IndexOf("H2"), 82);
  for (std::string_view code : {"", "Z", "a", "A ", "AB"}) EXPECT_EQ(GradeList.IndexOf(code), 0) << code;
  for (std::string_view code : {"", "   ", "1_", "1__ "}) EXPECT_EQ(MarginList.IndexOf(code), 0) << code;
  for (std::string_view code : {"", "11", "99", "0", "001"}) EXPECT_EQ(RacecourseList.IndexOf(code), 0) << code;
}

}  // namespace
}  // namespace kelvane
