// The list's rows without a window: the sort rules, reading dates back,
// finding rows by name, and the views' decisions (paths, enabling, Enter,
// status text).

#include <gtest/gtest.h>

#include "tests/gui/gui_test_util.h"
#include "ui/icon_layout.h"
#include "ui/list_rows.h"
#include "ui/path_rules.h"
#include "ui/view_rules.h"

namespace {

CListRow Row(const std::string& name, bool folder = false, std::uint64_t size = 0, const std::string& kind = {},
             const std::string& date = {}, const std::string& note = {}) {
  CItemSummary record;
  record.m_strName = name;
  record.m_bContainer = folder;
  record.m_strTypeName = kind;
  record.m_strNote = note;
  CListRow row = MakeListRow(std::move(record), size, false, 0);
  row.m_strDate = date;
  row.m_nDateKey = DateCellKey(date);
  return row;
}

std::vector<std::string> Sorted(std::vector<CListRow> rows, int column, bool ascending) {
  SortListRows(rows, column, ascending);
  std::vector<std::string> names;
  for (const CListRow& row : rows) names.push_back(row.m_strName);
  return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(ListSort, FoldersComeFirstInBothDirectionsAndFollowTheDirectionAmongThemselves) {
  const std::vector<CListRow> rows = {Row("b.txt"), Row("Zoo", true), Row("apple", true)};
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_NAME, true), (Names{"apple", "Zoo", "b.txt"}));
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_NAME, false), (Names{"Zoo", "apple", "b.txt"}));
  // Catalogs are not folders for this rule, and any column keeps folders first.
  CItemSummary catalog;
  catalog.m_strName = "A";
  catalog.m_bContainer = true;
  const CListRow catalogRow = MakeListRow(std::move(catalog), 0, true, 0);
  EXPECT_FALSE(catalogRow.m_bFolder);
  EXPECT_TRUE(catalogRow.m_bCatalog);
  EXPECT_EQ(Sorted(rows, 9, true), (Names{"Zoo", "apple", "b.txt"}));
}

TEST(ListSort, NamesIgnoreCaseInTheCharacterCodeOrder) {
  const std::vector<CListRow> rows = {Row("b"), Row("A_"), Row("Ab"), Row("ｱ"), Row("あ"), Row("a")};
  // ASCII before the double-byte kana, half-width kana (single byte, above
  // 0xA0) after the ASCII letters and before the double-byte characters.
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_NAME, true), (Names{"a", "A_", "Ab", "b", "ｱ", "あ"}));
  EXPECT_EQ(CompareListRows(Row("FILE"), Row("file"), LIST_COLUMN_NAME, true), 0);
  EXPECT_EQ(CompareListRows(Row("ＡＢ"), Row("ａｂ"), LIST_COLUMN_NAME, true), 0);
}

TEST(ListSort, SizeUsesTheBytesAndTiesGoByNameAscendingInEitherDirection) {
  // By their texts "2MB" would come before "900KB".
  const std::vector<CListRow> rows = {Row("big", false, 2 * 1024 * 1024), Row("mid", false, 900 * 1024),
                                      Row("b", false, 10), Row("a", false, 10), Row("dir", true)};
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_SIZE, true), (Names{"dir", "a", "b", "mid", "big"}));
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_SIZE, false), (Names{"dir", "big", "mid", "a", "b"}));
}

TEST(ListSort, KindAndNoteTiesGoByNameAscendingEvenWhenDescending) {
  const std::vector<CListRow> rows = {Row("c", false, 0, "TXT ﾌｧｲﾙ", {}, "x"), Row("a", false, 0, "txt ﾌｧｲﾙ", {}, "X"),
                                      Row("b", false, 0, "DOC ﾌｧｲﾙ", {}, "y")};
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_KIND, true), (Names{"b", "a", "c"}));
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_KIND, false), (Names{"a", "c", "b"}));
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_NOTE, false), (Names{"b", "a", "c"}));
}

TEST(ListSort, EqualDatesGoByNameAscendingInEitherDirection) {
  const std::vector<CListRow> rows = {
      Row("z", false, 0, {}, "2001/01/02 10:00"), Row("a", false, 0, {}, "2001/01/02 10:00"),
      Row("m", false, 0, {}, "1999/12/31 23:59"), Row("n", false, 0, {}, "2001/01/02 09:59")};
  EXPECT_GT(CompareListRows(rows[0], rows[1], LIST_COLUMN_DATE, true), 0);
  EXPECT_GT(CompareListRows(rows[0], rows[1], LIST_COLUMN_DATE, false), 0);
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_DATE, true), (Names{"m", "n", "a", "z"}));
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_DATE, false), (Names{"a", "z", "n", "m"}));
}

TEST(ListSort, DatesBefore1900AndFrom2038SortInTimeOrder) {
  CScopedTimeZone tz("JST-9");
  std::vector<CListRow> rows;
  for (const auto& [name, time] : {std::pair<const char*, CTime>{"2100", 4102444800},
                                   {"1850", -3786825600},
                                   {"none", kInvalidTime},
                                   {"1969", -86400}}) {
    CItemSummary record;
    record.m_strName = name;
    record.m_timeModified = time;
    rows.push_back(MakeListRow(std::move(record), 0, false, 0));
  }
  EXPECT_EQ(rows[0].m_strDate, "2100/01/01 09:00");
  EXPECT_EQ(rows[1].m_strDate, "1850/01/01 09:00");
  EXPECT_EQ(Sorted(rows, LIST_COLUMN_DATE, true), (Names{"none", "1850", "1969", "2100"}));
}

TEST(ListSort, TheOrderReturnedMapsNewPlacesToOldOnes) {
  std::vector<CListRow> rows = {Row("c"), Row("a"), Row("b")};
  EXPECT_EQ(SortListRows(rows, LIST_COLUMN_NAME, true), (std::vector<std::size_t>{1, 2, 0}));
}

TEST(ListDates, CellsReadBackInTheirOrderAndBadOnesComeFirst) {
  CScopedTimeZone tz("JST-9");
  EXPECT_EQ(FormatDateCell(978307200), "2001/01/01 09:00");
  EXPECT_EQ(FormatDateCell(kInvalidTime), "");
  EXPECT_LT(DateCellKey("2001/01/01 09:00"), DateCellKey("2001/01/01 09:01"));
  EXPECT_LT(DateCellKey("2001/01/31 23:59"), DateCellKey("2001/02/01 00:00"));
  EXPECT_LT(DateCellKey("2001/12/31 23:59"), DateCellKey("2002/01/01 00:00"));
  EXPECT_EQ(DateCellKey("2001/02/03"), DateCellKey("2001/02/03 00:00"));
  EXPECT_EQ(DateCellKey(""), -1);
  EXPECT_EQ(DateCellKey("1899/12/31 10:00"), -1);
  EXPECT_LT(DateCellKey(""), DateCellKey("1900/01/01 00:00"));
  // A zero month ends the reading: the day and time after it do not count.
  EXPECT_EQ(DateCellKey("2001/00/05 10:00"), DateCellKey("2001/00/09 11:00"));
}

TEST(ListRows, FindingByNamePrefersTheExactName) {
  const std::vector<CListRow> rows = {Row("Read.me"), Row("read.me"), Row("other")};
  EXPECT_EQ(FindRowByName(rows, "read.me"), 1);
  EXPECT_EQ(FindRowByName(rows, "READ.ME"), 0);
  EXPECT_EQ(FindRowByName(rows, "none"), -1);
}

TEST(ViewRules, PathsSplitAtTheRightBackslash) {
  std::string a, b;
  EXPECT_TRUE(SplitAtLastBackslash("CD1\\docs\\表\\a.txt", a, b));
  EXPECT_EQ(a, "CD1\\docs\\表");
  EXPECT_EQ(b, "a.txt");
  EXPECT_FALSE(SplitAtLastBackslash("CD1", a, b));
  EXPECT_EQ(a, "");
  EXPECT_EQ(b, "CD1");
  EXPECT_TRUE(SplitAtFirstBackslash("CD1\\docs\\a", a, b));
  EXPECT_EQ(a, "CD1");
  EXPECT_EQ(b, "docs\\a");
  EXPECT_EQ(ChildPath("", "CD1"), "CD1");
  EXPECT_EQ(ChildPath("CD1\\docs", "a"), "CD1\\docs\\a");
}

TEST(ViewRules, CommandsFollowTheSelection) {
  const CListSelection catalogs{true, 2, 2};
  EXPECT_TRUE(ListCanDeleteCatalog(catalogs));
  EXPECT_FALSE(ListCanOpenFile(catalogs));
  EXPECT_EQ(ClassifyEnter(catalogs), EEnterAction::OpenFolder);
  EXPECT_FALSE(ListCanDeleteCatalog({true, 0, 0}));
  EXPECT_FALSE(ListHasSelection({true, 0, 0}));

  const CListSelection files{false, 2, 0};
  EXPECT_FALSE(ListCanDeleteCatalog(files));
  EXPECT_TRUE(ListCanOpenFile(files));
  EXPECT_EQ(ClassifyEnter(files), EEnterAction::OpenFiles);

  const CListSelection mixed{false, 3, 1};
  EXPECT_FALSE(ListCanOpenFile(mixed));
  EXPECT_TRUE(ListHasSelection(mixed));
  EXPECT_EQ(ClassifyEnter(mixed), EEnterAction::None);
  EXPECT_EQ(ClassifyEnter({false, 0, 0}), EEnterAction::None);

  EXPECT_TRUE(TreeCanDeleteCatalog(true, true));
  EXPECT_FALSE(TreeCanDeleteCatalog(true, false));
  EXPECT_FALSE(TreeCanDeleteCatalog(false, false));
}

TEST(ViewRules, StatusAndLocationTexts) {
  EXPECT_EQ(ListStatusText("", 0, ""), "");
  EXPECT_EQ(ListStatusText("CD1\\docs", 0, ""), "CD1\\docs");
  EXPECT_EQ(ListStatusText("CD1\\docs", 1, "CD1\\docs\\a.txt"), "CD1\\docs\\a.txt");
  EXPECT_EQ(ListStatusText("CD1\\docs", 3, ""), "3 個のファイルを選択");
  EXPECT_EQ(LocationText({"CD1\\a", "CD1\\b"}), "CD1\\a\r\nCD1\\b\r\n");
  EXPECT_EQ(LocationText({}), "");
}

TEST(IconLayout, ItemsFillRowsLeftToRightAndWrapAtTheWindowsEdge) {
  // 350 pixels hold three cells of 100; the fourth item starts row two.
  const CIconGridLayout layout = MakeIconGridLayout(100, 50, 350);
  EXPECT_EQ(layout.m_nColumns, 3);
  EXPECT_EQ(layout.CellOf(1).m_nX, 100);
  EXPECT_EQ(layout.CellOf(1).m_nY, 0);
  EXPECT_EQ(layout.CellOf(3).m_nX, 0);
  EXPECT_EQ(layout.CellOf(3).m_nY, 50);
  EXPECT_EQ(layout.RowCount(7), 3);
  // Hits: inside a cell, beyond the last item, right of the last column.
  EXPECT_EQ(layout.ItemAt(150, 60, 7), 4);
  EXPECT_EQ(layout.ItemAt(150, 110, 7), -1);
  EXPECT_EQ(layout.ItemAt(320, 10, 7), -1);
  // Keys move by cells and rows and stop at the ends.
  EXPECT_EQ(layout.Step(4, 0, -1, 7), 1);
  EXPECT_EQ(layout.Step(5, 0, 1, 7), 6);
  EXPECT_EQ(layout.Step(0, -1, 0, 7), 0);
  EXPECT_EQ(layout.Step(-1, 1, 0, 7), 0);
  // A window narrower than one cell still shows one column.
  EXPECT_EQ(MakeIconGridLayout(100, 50, 40).m_nColumns, 1);
}
