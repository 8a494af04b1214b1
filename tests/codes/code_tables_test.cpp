#include "codes/code_tables.h"

#include <gtest/gtest.h>

#include "codes/cp932_test_text.h"

namespace kelvane {
namespace {

template <std::size_t Rows, std::size_t Width>
void ExpectRowsFitTheirWidth(const CodeTable<Rows, Width>& table, const char* name) {
  for (int row = 0; row < table.kRows; ++row) {
    EXPECT_LE(table.Row(row).size(), Width - 1) << name << " row " << row;
    EXPECT_EQ(table.Row(row).find('\0'), std::string::npos) << name << " row " << row;
  }
  EXPECT_EQ(table.Row(-1), "") << name;
  EXPECT_EQ(table.Row(table.kRows), "") << name;
}

TEST(CodeTables, RowsFitTheirWidthAndRowsOutsideAreEmpty) {
  ExpectRowsFitTheirWidth(WeekdayTable, "WeekdayTable");
  ExpectRowsFitTheirWidth(RaceTypeTable, "RaceTypeTable");
  ExpectRowsFitTheirWidth(RaceSymbolLetters, "RaceSymbolLetters");
  ExpectRowsFitTheirWidth(RaceSymbolTable, "RaceSymbolTable");
  ExpectRowsFitTheirWidth(SexLimitTable, "SexLimitTable");
  ExpectRowsFitTheirWidth(DesignationTable, "DesignationTable");
  ExpectRowsFitTheirWidth(WeightTypeTable, "WeightTypeTable");
  ExpectRowsFitTheirWidth(SaleTable, "SaleTable");
  ExpectRowsFitTheirWidth(TrackTable, "TrackTable");
  ExpectRowsFitTheirWidth(TrackConditionTable, "TrackConditionTable");
  ExpectRowsFitTheirWidth(WeatherTable, "WeatherTable");
  ExpectRowsFitTheirWidth(BreedTable, "BreedTable");
  ExpectRowsFitTheirWidth(HorseSexTable, "HorseSexTable");
  ExpectRowsFitTheirWidth(CoatColourTable, "CoatColourTable");
  ExpectRowsFitTheirWidth(HorseMarkTable, "HorseMarkTable");
  ExpectRowsFitTheirWidth(RunningStyleTable, "RunningStyleTable");
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
  EXPECT_EQ(WeekdayTable.Row(8), Sjis("金"));
  EXPECT_EQ(WeekdayTable.Row(0) + WeekdayTable.Row(9), "");
  EXPECT_EQ(RaceTypeTable.Row(0 - 10) + RaceTypeTable.Row(15 - 10), "");
  EXPECT_EQ(RaceTypeTable.Row(18 - 10), Sjis("ｻﾗ障害３歳上"));
  EXPECT_EQ(SaleTable.Row(0), Sjis("全国発売なし"));
  EXPECT_EQ(SaleTable.Row(2), Sjis("全国発売・当日売り"));
  EXPECT_EQ(TrackConditionTable.Row(0), Sjis("不明"));
  EXPECT_EQ(WeatherTable.Row(4), Sjis("小雨"));
  EXPECT_EQ(BreedTable.Row(7), Sjis("アラブ"));
  EXPECT_EQ(HorseSexTable.Row(3), Sjis("せん馬"));
  EXPECT_EQ(HorseMarkTable.Row(13) + HorseMarkTable.Row(14), "");
  EXPECT_EQ(HorseMarkTable.Row(19), Sjis("○招○父○市"));
  EXPECT_EQ(HorseMarkTable.Row(27), Sjis("○父□外"));
  EXPECT_EQ(RunningStyleTable.Row(3), Sjis("追"));
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
  EXPECT_EQ(RacecourseList.TextOf("H2"), Sjis("南アフリカ"));
  for (std::string_view code : {"", "Z", "a", "A ", "AB"}) EXPECT_EQ(GradeList.IndexOf(code), 0) << code;
  for (std::string_view code : {"", "   ", "1_", "1__ "}) EXPECT_EQ(MarginList.IndexOf(code), 0) << code;
  for (std::string_view code : {"", "11", "99", "0", "001"}) EXPECT_EQ(RacecourseList.IndexOf(code), 0) << code;
  EXPECT_EQ(GradeList.TextOf("Z"), Sjis("一般競走"));
  EXPECT_EQ(MarginList.TextOf("   "), Sjis(" 不明"));
  EXPECT_EQ(RacecourseList.TextOf("11"), "");
}

}  // namespace
}  // namespace kelvane
