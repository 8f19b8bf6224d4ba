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
  // The model's own conversion: the C runtime's mktime does not reach 1850 everywhere.
  return LocalTime(y, m, d, h, min).value_or(kInvalidTime);
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

TEST(MatchText, WidthKanaAndCanonicalEquivalence) {
  const CTextOptions width{true, false}, kana{false, true}, both{true, true};
  // Widths count unless the option is on; case still counts with it.
  EXPECT_FALSE(MatchText("ＺＥＮＫＡＫＵ.txt", "zenkaku", false, false));
  EXPECT_TRUE(MatchText("ＺＥＮＫＡＫＵ.txt", "zenkaku", false, false, width));
  EXPECT_FALSE(MatchText("ＺＥＮＫＡＫＵ.txt", "zenkaku", false, true, width));
  EXPECT_FALSE(MatchText("ﾊﾝｶｸ.txt", "ハンカク", false, false));
  EXPECT_TRUE(MatchText("ﾊﾝｶｸ.txt", "ハンカク", false, false, width));
  // ｶﾞ and ﾊﾟ are one character each, as ガ and パ are.
  EXPECT_TRUE(MatchText("ｶﾞｲﾄﾞﾊﾟｽ", "ガイドパス", true, true, width));
  EXPECT_FALSE(MatchText("ｶﾞｲﾄﾞ", "カイト", false, true, width));
  // Kana: katakana and hiragana alike, widths still apart.
  EXPECT_FALSE(MatchText("カタカナ.doc", "かたかな", false, false));
  EXPECT_TRUE(MatchText("カタカナ.doc", "かたかな", false, false, kana));
  EXPECT_TRUE(MatchText("ヴァイオリン", "ゔぁいおりん", true, true, kana));
  EXPECT_FALSE(MatchText("ﾊﾝｶｸ", "はんかく", false, false, kana));
  EXPECT_TRUE(MatchText("ﾊﾝｶｸ", "はんかく", false, false, both));
  EXPECT_TRUE(MatchText("ﾜﾞｰﾌﾟﾛ", "ヷーぷろ", true, true, both));
  // Composed and decomposed forms are always equal, on either side.
  const std::string decomposedGa = "\xE3\x81\x8B\xE3\x82\x99";  // か and the combining voiced mark
  EXPECT_TRUE(MatchText("が.txt", decomposedGa, false, true));
  EXPECT_TRUE(MatchText(decomposedGa + ".txt", "が", false, true));
  EXPECT_TRUE(MatchText("Cafe\xCC\x81", "CAFÉ", true, false));
  EXPECT_FALSE(MatchText("Cafe\xCC\x81", "cafe", true, false));
  EXPECT_FALSE(MatchText("Cafe\xCC\x81", "Cafe", false, true));
  EXPECT_TRUE(MatchText("300\xE2\x84\xAA", "0K", false, true));  // the Kelvin sign is K composed
  // Private-use characters (the escapes of odd bytes in names) are ordinary ones.
  EXPECT_TRUE(
      MatchText("a\xEE\xBC\x80"
                "b",
                "\xEE\xBC\x80", false, true, both));
  EXPECT_FALSE(
      MatchText("a\xEE\xBC\x80"
                "b",
                "\xEE\xBC\x81", false, false, both));
}

TEST(MatchText, WildcardsTakeTheOptionsAndKeepFullWidthLiterals) {
  CTextCriterion photos("IMG_????.JPG", false, false, {true, false}, true);
  EXPECT_TRUE(photos.Matches("ＩＭＧ_0001.jpg"));
  EXPECT_FALSE(photos.Matches("IMG_001.jpg"));
  EXPECT_FALSE(photos.Matches("xIMG_0001.jpg"));
  // "？" made "?" by the width option is a literal, not a wildcard.
  CTextCriterion literal("a？", false, false, {true, false}, true);
  EXPECT_TRUE(literal.Matches("what a?"));
  EXPECT_FALSE(literal.Matches("ab"));
  // Runs of "*": the parts in order, none overlapping another.
  CTextCriterion stars("a*b*c", true, true, {}, true);
  EXPECT_TRUE(stars.Matches("axbyc"));
  EXPECT_TRUE(stars.Matches("abc"));
  EXPECT_FALSE(stars.Matches("acb"));
  EXPECT_FALSE(CTextCriterion("ab*ba", true, true, {}, true).Matches("aba"));
  EXPECT_TRUE(CTextCriterion("*", true, true, {}, true).Matches(""));
  // "?" is one character, however many bytes it takes.
  EXPECT_TRUE(CTextCriterion("?.txt", true, true, {}, true).Matches("表.txt"));
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
  for (const char* text :
       {"1899/12/31", "2000/0/1", "2000/1/0", "2000-01-01", "2000/1/1 10", "", "0/1/1", "2000/1", "abc"})
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
  EXPECT_EQ(Paths(found),
            (std::vector<std::string>{"", "A\\Docs\\xABCy.txt", "A\\Docs\\abc", "A\\Docs\\ABC", "B\\abc"}));
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

TEST_F(SearchTest, NameWildcardsMatchWholeNamesWithTheCaseRule) {
  CItemSummaryList found;
  m_set.FindByName("", "*.TXT", false, false, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\xABCy.txt"}));
  found.clear();
  EXPECT_EQ(m_set.FindByName("", "*.TXT", false, true, found), 0);
  m_set.FindByName("", "a?c", false, false, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\abc", "A\\Docs\\ABC", "B\\abc"}));
  found.clear();
  m_set.FindByName("", "a?c", false, true, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"A\\Docs\\abc", "B\\abc"}));
  found.clear();
  // Notes take "*" literally.
  EXPECT_EQ(m_set.FindByNote("", "*", false, false, found), 0);
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

TEST_F(SearchTest, DatesBefore1970AndFrom2038FormatSortAndMatch) {
  auto c = MakeCatalog("C");
  Add(*c, FileRecord("old", 0, UnixToFileTime(Local(1850, 6, 1, 12, 0), 0)));
  Add(*c, FileRecord("future", 0, UnixToFileTime(Local(2100, 1, 1, 8, 0), 0)));
  m_set.AppendCatalog(std::move(c), Local(2001, 1, 1));
  CItemSummaryList found;
  m_set.FindByDate("C", ParseStrictDate("2038-01-20"), std::nullopt, found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"C\\future"}));
  EXPECT_EQ(FormatTime(found[0]->m_timeModified), "2100/01/01 08:00:00");
  found.clear();
  m_set.FindByDate("C", ParseStrictDate("1850-06-01"), ParseStrictDate("1850/06/01"), found);
  EXPECT_EQ(Paths(found), (std::vector<std::string>{"C\\old"}));
  EXPECT_EQ(FormatTime(found[0]->m_timeModified), "1850/06/01 12:00:00");
}

TEST(ParseStrictDate, TakesDatesOnlyInTheirForms) {
  CScopedTimeZone tz("JST-9");
  EXPECT_EQ(ParseStrictDate("2025-01-01"), Local(2025, 1, 1));
  EXPECT_EQ(ParseStrictDate("2025/1/1 9:05"), Local(2025, 1, 1, 9, 5));
  EXPECT_EQ(ParseStrictDate("2025-01-01 23:59"), Local(2025, 1, 1, 23, 59));
  for (const char* text : {"", "2025", "2025-01", "2025/13/01", "2025-02-30", "2025/1/1x", "2025-01/01", "2025/1/1 10",
                           "2025/1/1 24:00", "25/1/1", "1600/12/31", "２０２５/1/1", " 2025/1/1"})
    EXPECT_FALSE(ParseStrictDate(text)) << text;
}
