#include <gtest/gtest.h>

#include "model/search_match.h"
#include "tests/core/test_util.h"

namespace {

std::vector<std::string> Paths(const CItemSummaryList& list) {
  std::vector<std::string> out;
  for (const auto& s : list) out.push_back(s->m_strPath);
  return out;
}

CTime Local(int y, int m, int d, int h = 0, int min = 0) {
  struct tm t {};
  t.tm_year = y - 1900;
  t.tm_mon = m - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = min;
  t.tm_isdst = -1;
  return mktime(&t);
}

}  // namespace

TEST(MatchText, FlagCombinations) {
  EXPECT_TRUE(MatchText("xABCy.txt", "abc", false, false));
  EXPECT_FALSE(MatchText("xABCy.txt", "abc", false, true));
  EXPECT_TRUE(MatchText("ABC", "abc", true, false));
  EXPECT_FALSE(MatchText("abcd", "abc", true, false));
  EXPECT_TRUE(MatchText("abc", "abc", true, true));
  EXPECT_FALSE(MatchText("ABC", "abc", true, true));
  // Full-width, Greek and Cyrillic capitals fold; the Roman numeral does not.
  EXPECT_TRUE(MatchText("ＡＢＣ", "ａｂｃ", true, false));
  EXPECT_TRUE(MatchText("ΣΩ Жук", "σω жук", true, false));
  EXPECT_FALSE(MatchText("Ⅰ", "ⅰ", true, false));
  // Long ASCII names are folded a word at a time: letters past the first
  // eight bytes fold, and the characters beside A-Z and a-z do not.
  EXPECT_TRUE(MatchText("0123456789abcdefGHIJKLMNOPQRSTUVWXYZ", "ghijklmnopqrstuvwxyz", false, false));
  EXPECT_FALSE(MatchText("xxxxxxxx@[", "`{", false, false));
  EXPECT_TRUE(MatchText("xxxxxxxx@[", "X@[", false, false));
}

TEST(MatchText, EmptyPatternsAndCharacterBoundaries) {
  EXPECT_TRUE(MatchText("x", "", false, false));
  EXPECT_FALSE(MatchText("", "", false, true));
  EXPECT_TRUE(MatchText("", "", true, false));
  EXPECT_FALSE(MatchText("x", "", true, true));
  // 表 is 0x95 0x5C in CP932: its second byte is no backslash to match.
  EXPECT_FALSE(MatchText("表a", "\\a", false, true));
  EXPECT_TRUE(MatchText("x\\a", "\\A", false, false));
}

TEST(ParseDateBound, UsableAndUnusableTexts) {
  CScopedTimeZone tz("JST-9");
  EXPECT_EQ(ParseDateBound("2000/1/5"), Local(2000, 1, 5));
  EXPECT_EQ(ParseDateBound("2000/01/05"), Local(2000, 1, 5));
  EXPECT_EQ(ParseDateBound("2000/1/5x"), Local(2000, 1, 5));
  EXPECT_EQ(ParseDateBound("  2000/1/5 10:30"), Local(2000, 1, 5, 10, 30));
  EXPECT_EQ(ParseDateBound("2000/13/1"), ParseDateBound("2001/1/1"));
  EXPECT_EQ(ParseDateBound("2000/1/32"), Local(2000, 2, 1));
  EXPECT_EQ(ParseDateBound("2000/1/1 24:00"), Local(2000, 1, 2));
  for (const char* text : {"1899/12/31", "2000/0/1", "2000/1/0", "2000-01-01", "2000/1/1 10", "", "0/1/1",
                           "2000/1", "abc"})
    EXPECT_FALSE(ParseDateBound(text)) << text;
}

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto a = MakeCatalog("A");
    CFindData folder = FolderRecord("Docs");
    folder.ftLastWriteTime = UnixToFileTime(Local(2000, 1, 10, 23, 59), 0);
    auto* docs = static_cast<CFolderFileInfo*>(a->AddChild(&folder));
    Add(*docs, FileRecord("xABCy.txt", 1024, UnixToFileTime(Local(2000, 1, 10, 12, 0), 0)));
    Add(*docs, FileRecord("abc", 1025, UnixToFileTime(Local(2000, 1, 11), 0)))->SetNoteText("memo");
    Add(*docs, FileRecord("ABC", 0, UnixToFileTime(Local(1999, 12, 31, 23, 0), 0)));
    m_set.AppendCatalog(std::move(a), Local(2001, 1, 1));
    auto b = MakeCatalog("B");
    Add(*b, FileRecord("abc", 7, 0));
    m_set.AppendCatalog(std::move(b), Local(2001, 1, 1));
  }

  static CFileInfo* Add(CFolderFileInfo& folder, const CFindData& record) { return folder.AddChild(&record); }

  CScopedTimeZone m_tz{"JST-9"};
  CRootFileInfo m_set{"abc set"};
};

TEST_F(SearchTest, NameSearchInPreOrderIncludingTheSetAndCatalogs) {
  CItemSummaryList found;
  EXPECT_EQ(m_set.FindByName("", "abc", false, false, found), 1);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"", "A\\Docs\\xABCy.txt", "A\\Docs\\abc", "A\\Docs\\ABC", "B\\abc"}));
  found.clear();
  m_set.FindByName("", "abc", true, true, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\abc", "B\\abc"}));
  found.clear();
  m_set.FindByName("A\\Docs", "", false, false, found);
  EXPECT_EQ(found.size(), 4u);
  found.clear();
  // A start path that names nothing searches the whole set.
  EXPECT_EQ(m_set.FindByName("Z\\nothing", "abc", true, false, found), 1);
  EXPECT_EQ(found.size(), 3u);
  found.clear();
  EXPECT_EQ(m_set.FindByName("B", "zzz", false, false, found), 0);
  EXPECT_TRUE(found.empty());
}

TEST_F(SearchTest, NoteSearchFindsItemsWithAndWithoutNotes) {
  CItemSummaryList found;
  m_set.FindByNote("", "", false, false, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\abc"}));
  EXPECT_EQ(found[0]->m_strNote, "memo");
  found.clear();
  m_set.FindByNote("A", "", true, false, found);
  EXPECT_EQ(found.size(), 4u);  // the catalog, the folder and two files
}

TEST_F(SearchTest, SizeSearchTakesFilesOnly) {
  CItemSummaryList found;
  m_set.FindBySize("", 0, 0, found);
  EXPECT_EQ(found.size(), 4u);
  found.clear();
  m_set.FindBySize("", 1, 1, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\xABCy.txt"}));
  found.clear();
  m_set.FindBySize("", 2, 1, found);
  EXPECT_TRUE(found.empty());
  CFindData huge = FileRecord("huge", 0xFFFFFFFFULL * 1024);
  CSizeCriterion criterion{0xFFFFFFFF, 0};
  EXPECT_EQ(MatchSize(*CFileInfo::Create(&huge), &criterion), 1);
}

TEST_F(SearchTest, DateSearchComparesWholeDays) {
  CItemSummaryList found;
  // Anything modified on 10 January, whatever the hour, and folders too.
  m_set.FindByDate("A", ParseDateBound("2000/1/10"), ParseDateBound("2000/1/10 12:00"), found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs", "A\\Docs\\xABCy.txt"}));
  found.clear();
  m_set.FindByDate("A", ParseDateBound("2000/1/10 12:00"), std::nullopt, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A", "A\\Docs\\abc"}));
  found.clear();
  m_set.FindByDate("A", std::nullopt, ParseDateBound("1999/12/31"), found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\ABC"}));
}
