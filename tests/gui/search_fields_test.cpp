// The search dialogs' decisions that need no window.

#include <gtest/gtest.h>

#include "dialogs/search_fields.h"

TEST(SizeField, AcceptsUnsignedNumbersWithBlanksAndPlus) {
  EXPECT_EQ(ParseUnsignedField("0"), 0u);
  EXPECT_EQ(ParseUnsignedField("1024"), 1024u);
  EXPECT_EQ(ParseUnsignedField(" \t+17 \t"), 17u);
  EXPECT_EQ(ParseUnsignedField("007"), 7u);
  EXPECT_EQ(ParseUnsignedField(" 0"), 0u);
  EXPECT_EQ(ParseUnsignedField("4294967295"), 4294967295u);
  // Larger numbers are taken as the largest, however many digits they have.
  EXPECT_EQ(ParseUnsignedField("4294967296"), 4294967295u);
  EXPECT_EQ(ParseUnsignedField(std::string(60, '9')), 4294967295u);
}

TEST(SizeField, RefusesWhatIsNotAnUnsignedNumber) {
  for (const char* text : {"", "  ", "+", "-1", "- 1", "1.5", "1x", "x1", "１", "1 2", "+-1", "0x10", "1e3"})
    EXPECT_FALSE(ParseUnsignedField(text)) << "'" << text << "'";
  // Junk far behind the digits is junk too.
  EXPECT_FALSE(ParseUnsignedField("1" + std::string(40, ' ') + "x"));
}

TEST(StartLabel, NamesThePathOrTheWholeSet) {
  EXPECT_EQ(StartLabel(""), "検索開始位置：カタログセット全体");
  EXPECT_EQ(StartLabel("Disc 1\\文書"), "検索開始位置：Disc 1\\文書");
}

namespace {

std::unique_ptr<CItemSummary> Record(const std::string& path, bool container, bool catalog = false) {
  auto record = std::make_unique<CItemSummary>();
  record->m_strPath = path;
  record->m_strName = path.substr(path.rfind('\\') == std::string::npos ? 0 : path.rfind('\\') + 1);
  record->m_bContainer = container;
  record->m_bCatalog = catalog;
  return record;
}

std::vector<std::string> Files(const std::vector<CResultRow>& rows) {
  std::vector<std::string> files;
  for (const auto& row : rows) files.push_back(row.m_strCatalog + "|" + row.m_strFile);
  return files;
}

}  // namespace

TEST(ResultRows, OnlyPathsWithABackslashFoldersFirstThenFoldedText) {
  CItemSummaryList results;
  results.push_back(Record("", true));            // the set: no row
  results.push_back(Record("Disc", true, true));  // a catalog: no row
  results.push_back(Record("Disc\\b.txt", false));
  results.push_back(Record("Disc\\Zeta", true));
  results.push_back(Record("Disc\\A.txt", false));
  results.push_back(Record("Other\\a.txt", false));  // same folded text: stays after Disc's
  results.push_back(Record("Disc\\alpha", true));
  results.push_back(Record("Disc\\Ｂ全角", false));  // full-width capital folds too
  results.push_back(Record("Disc\\ａ全角", false));
  results.push_back(Record("Disc\\表\\x", false));  // split at the first backslash only

  constexpr int kFolder = 1;
  auto rows = MakeResultRows(results, [](const CItemSummary& r) { return r.m_bContainer ? kFolder : 7; });
  ASSERT_EQ(rows.size(), 8u);
  SortResultRows(rows, kFolder);
  EXPECT_EQ(Files(rows), (std::vector<std::string>{"Disc|\\alpha", "Disc|\\Zeta", "Disc|\\A.txt", "Other|\\a.txt",
                                                   "Disc|\\b.txt", "Disc|\\表\\x", "Disc|\\ａ全角", "Disc|\\Ｂ全角"}));
  EXPECT_EQ(rows[0].m_nImage, kFolder);
  EXPECT_EQ(rows[2].m_nImage, 7);
}

TEST(ResultRows, CountTextAndPathRebuild) {
  EXPECT_EQ(ResultCountText(0), "0 件が検索されました。選択したノードが展開されます");
  EXPECT_EQ(ResultCountText(12), "12 件が検索されました。選択したノードが展開されます");

  std::string catalog, file;
  ASSERT_TRUE(SplitResultPath("Disc 1\\文書\\表.xls", catalog, file));
  EXPECT_EQ(RebuildResultPath(catalog, file), "Disc 1\\文書\\表.xls");
  EXPECT_FALSE(SplitResultPath("Disc 1", catalog, file));
  EXPECT_EQ(RebuildResultPath("", "\\x"), "");
  EXPECT_EQ(RebuildResultPath("Disc", ""), "");
  // A member says which archive it was found in.
  EXPECT_EQ(ResultFileText({"\\a.zip\\m.txt", "Disc", "a.zip"}), "\\a.zip\\m.txt　［アーカイブ a.zip 内］");
}
