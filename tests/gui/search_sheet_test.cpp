// The search sheet driven through its controls, searching a real set.

#include <gtest/gtest.h>

#include <wx/checkbox.h>
#include <wx/notebook.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/find_by_date_page.h"
#include "dialogs/find_by_size_page.h"
#include "dialogs/find_by_text_page.h"
#include "dialogs/search_fields.h"
#include "dialogs/search_sheet.h"
#include "tests/gui/gui_test_sets.h"
#include "tests/gui/gui_test_util.h"

namespace {

const char kNotANumber[] = "正の整数を入力してください。";
enum { PAGE_NAME = 0, PAGE_DATE = 1, PAGE_SIZE = 2, PAGE_NOTE = 3 };

wxTextCtrl* Text(wxWindow* page, const char* id) { return XRCCTRL(*page, id, wxTextCtrl); }
wxCheckBox* Check(wxWindow* page, const char* id) { return XRCCTRL(*page, id, wxCheckBox); }

class SearchSheet : public testing::Test {
 protected:
  SearchSheet() : m_tz("UTC0"), m_source(m_set) {
    auto disc = TestCatalog("Disc");
    for (const char* name : {"xABCy.txt", "ABC", "abcd", "abc"}) Add(*disc, TestFile(name, 10));
    Add(*disc, TestFile("zero", 0));
    Add(*disc, TestFile("k1", 1024));
    Add(*disc, TestFile("k1plus", 1025));
    CFolderFileInfo* docs = AddFolder(*disc, TestFolder("docs"));
    Add(*docs, TestFile("noted", 2048))->SetNoteText("Budget 2001");
    m_set.AppendCatalog(std::move(disc), 1000);
  }

  // A sheet over the whole set, shown like the user sees it.
  std::unique_ptr<CSearchSheet> OpenSheet(const std::string& start = "") {
    auto sheet = std::make_unique<CSearchSheet>(nullptr, "検索", start, m_source, m_results);
    sheet->Show();
    return sheet;
  }

  // Searches names as the user would: type, tick, press OK.
  std::vector<std::string> NameSearch(const std::string& pattern, bool exact, bool matchCase) {
    m_results.clear();
    auto sheet = OpenSheet();
    wxWindow* page = sheet->GetNamePage();
    Text(page, "ID_NAME_PATTERN")->ChangeValue(wxString::FromUTF8(pattern));
    Check(page, "ID_EXACT")->SetValue(exact);
    Check(page, "ID_MATCH_CASE")->SetValue(matchCase);
    Click(sheet.get(), wxID_OK);
    EXPECT_EQ(sheet->GetReturnCode(), wxID_OK);
    return SortedNames(m_results);
  }

  CScopedTimeZone m_tz;
  CRootFileInfo m_set{"set"};
  CSetSearchSource m_source;
  CItemSummaryList m_results;
};

}  // namespace

TEST_F(SearchSheet, PagesInTabOrderWithCaptionsAndOnlyOkAndCancel) {
  auto sheet = OpenSheet();
  EXPECT_EQ(Utf8(sheet->GetTitle()), "検索");
  wxBookCtrlBase* book = sheet->GetBookCtrl();
  ASSERT_EQ(book->GetPageCount(), 4u);
  EXPECT_EQ(Utf8(book->GetPageText(PAGE_NAME)), "ファイル名で検索");
  EXPECT_EQ(Utf8(book->GetPageText(PAGE_DATE)), "日付で検索");
  EXPECT_EQ(Utf8(book->GetPageText(PAGE_SIZE)), "サイズで検索");
  EXPECT_EQ(Utf8(book->GetPageText(PAGE_NOTE)), "ノートで検索");
  EXPECT_EQ(book->GetSelection(), PAGE_NAME);

  EXPECT_EQ(Utf8(sheet->FindWindow(wxID_OK)->GetLabel()), "OK");
  EXPECT_EQ(Utf8(sheet->FindWindow(wxID_CANCEL)->GetLabel()), "ｷｬﾝｾﾙ");
  EXPECT_FALSE(sheet->FindWindow(wxID_HELP));
  EXPECT_FALSE(sheet->FindWindow(wxID_APPLY));

  // The start values, and the start label on each page as it is shown.
  EXPECT_EQ(Utf8(Text(sheet->GetNamePage(), "ID_NAME_PATTERN")->GetValue()), "");
  EXPECT_FALSE(Check(sheet->GetNamePage(), "ID_EXACT")->GetValue());
  EXPECT_FALSE(Check(sheet->GetNotePage(), "ID_MATCH_CASE")->GetValue());
  EXPECT_EQ(Utf8(Text(sheet->GetSizePage(), "ID_SIZE_LOWER")->GetValue()), "0");
  EXPECT_EQ(Utf8(Text(sheet->GetSizePage(), "ID_SIZE_UPPER")->GetValue()), "0");
  EXPECT_EQ(Utf8(XRCCTRL(*sheet->GetNamePage(), "ID_START_LABEL", wxStaticText)->GetLabel()),
            "検索開始位置：カタログセット全体");
  ASSERT_TRUE(sheet->SelectPage(PAGE_NOTE));
  EXPECT_EQ(Utf8(XRCCTRL(*sheet->GetNotePage(), "ID_START_LABEL", wxStaticText)->GetLabel()),
            "検索開始位置：カタログセット全体");

  auto below = OpenSheet("Disc\\docs");
  EXPECT_EQ(Utf8(XRCCTRL(*below->GetNamePage(), "ID_START_LABEL", wxStaticText)->GetLabel()),
            "検索開始位置：Disc\\docs");
}

TEST_F(SearchSheet, NamePatternWithEachFlag) {
  EXPECT_EQ(NameSearch("abc", false, false), (std::vector<std::string>{"ABC", "abc", "abcd", "xABCy.txt"}));
  EXPECT_EQ(NameSearch("abc", false, true), (std::vector<std::string>{"abc", "abcd"}));
  EXPECT_EQ(NameSearch("abc", true, false), (std::vector<std::string>{"ABC", "abc"}));
  EXPECT_EQ(NameSearch("abc", true, true), (std::vector<std::string>{"abc"}));
}

TEST_F(SearchSheet, WidthAndKanaOptionsStartAsGivenAndSearchWithTheirBoxes) {
  auto disc = TestCatalog("Wide");
  for (const char* name : {"ＡＢＣ", "ｶﾞｲﾄﾞ", "がいど"}) Add(*disc, TestFile(name, 10));
  m_set.AppendCatalog(std::move(disc), 1000);
  auto sheet = OpenSheet("Wide");
  for (wxWindow* page : {(wxWindow*)sheet->GetNamePage(), (wxWindow*)sheet->GetNotePage()}) {
    EXPECT_EQ(Utf8(Check(page, "ID_IGNORE_WIDTH")->GetLabel()), "全角と半角を区別しない");
    EXPECT_EQ(Utf8(Check(page, "ID_IGNORE_KANA")->GetLabel()), "ひらがなとカタカナを区別しない");
    EXPECT_FALSE(Check(page, "ID_IGNORE_WIDTH")->GetValue());
  }
  sheet->GetNotePage()->SetTextOptions({false, true});
  EXPECT_TRUE(Check(sheet->GetNotePage(), "ID_IGNORE_KANA")->GetValue());
  EXPECT_FALSE(sheet->GetNotePage()->GetTextOptions().bIgnoreWidth);

  const auto search = [this](const char* pattern, CTextOptions options) {
    m_results.clear();
    auto named = OpenSheet("Wide");
    named->GetNamePage()->SetTextOptions(options);
    Text(named->GetNamePage(), "ID_NAME_PATTERN")->ChangeValue(wxString::FromUTF8(pattern));
    Click(named.get(), wxID_OK);
    return SortedNames(m_results);
  };
  EXPECT_EQ(search("abc", {}), std::vector<std::string>{});
  EXPECT_EQ(search("abc", {true, false}), std::vector<std::string>{"ＡＢＣ"});
  EXPECT_EQ(search("ガイド", {true, false}), std::vector<std::string>{"ｶﾞｲﾄﾞ"});
  EXPECT_EQ(search("ガイド", {true, true}), (std::vector<std::string>{"がいど", "ｶﾞｲﾄﾞ"}));
}

TEST_F(SearchSheet, StartPathLimitsTheSearch) {
  auto sheet = OpenSheet("Disc\\docs");
  Click(sheet.get(), wxID_OK);  // empty pattern: every item with a name
  EXPECT_EQ(SortedNames(m_results), (std::vector<std::string>{"docs", "noted"}));
}

TEST_F(SearchSheet, SizeBoundsInKilobytes) {
  auto search = [this](const char* lower, const char* upper) {
    m_results.clear();
    auto sheet = OpenSheet();
    EXPECT_TRUE(sheet->SelectPage(PAGE_SIZE));
    Text(sheet->GetSizePage(), "ID_SIZE_LOWER")->ChangeValue(lower);
    Text(sheet->GetSizePage(), "ID_SIZE_UPPER")->ChangeValue(upper);
    Click(sheet.get(), wxID_OK);
    EXPECT_EQ(sheet->GetReturnCode(), wxID_OK);
    return SortedNames(m_results);
  };
  // Every file, no folder, catalog or set.
  EXPECT_EQ(search("0", "0"),
            (std::vector<std::string>{"ABC", "abc", "abcd", "k1", "k1plus", "noted", "xABCy.txt", "zero"}));
  EXPECT_EQ(search("1", "1"), (std::vector<std::string>{"k1"}));
  EXPECT_EQ(search(" +2 ", "0"), (std::vector<std::string>{"noted"}));
}

TEST_F(SearchSheet, SizeFieldRefusalKeepsTheSheetOpenOnTheField) {
  for (const char* bad : {"-1", "1.5", "", "１"}) {
    SCOPED_TRACE(bad);
    auto sheet = OpenSheet();
    ASSERT_TRUE(sheet->SelectPage(PAGE_SIZE));
    wxTextCtrl* upper = Text(sheet->GetSizePage(), "ID_SIZE_UPPER");
    upper->ChangeValue(wxString::FromUTF8(bad));
    wxTEST_DIALOG(Click(sheet.get(), wxID_OK), CExpectMessageBox(kNotANumber));
    EXPECT_TRUE(sheet->IsShown());
    EXPECT_NE(sheet->GetReturnCode(), wxID_OK);
    EXPECT_EQ(m_source.m_nCalls, 0);
    EXPECT_EQ(wxWindow::FindFocus(), upper);
    long from = -1, to = -1;
    upper->GetSelection(&from, &to);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, upper->GetLastPosition());

    // Leaving the page is refused the same way.
    wxTEST_DIALOG(EXPECT_FALSE(sheet->SelectPage(PAGE_NAME)), CExpectMessageBox(kNotANumber));
    EXPECT_EQ(sheet->GetBookCtrl()->GetSelection(), PAGE_SIZE);

    // Once mended, OK searches.
    upper->ChangeValue("0");
    Click(sheet.get(), wxID_OK);
    EXPECT_EQ(sheet->GetReturnCode(), wxID_OK);
    EXPECT_EQ(m_source.m_nCalls, 1);
    m_source.m_nCalls = 0;
    m_results.clear();
  }
}

TEST_F(SearchSheet, OnlyTheVisiblePageSearches) {
  auto sheet = OpenSheet();
  Text(sheet->GetNamePage(), "ID_NAME_PATTERN")->ChangeValue("abc");
  ASSERT_TRUE(sheet->SelectPage(PAGE_SIZE));  // shown, then left
  ASSERT_TRUE(sheet->SelectPage(PAGE_NOTE));
  Text(sheet->GetNotePage(), "ID_NOTE_PATTERN")->ChangeValue("budget");
  Click(sheet.get(), wxID_OK);
  EXPECT_EQ(m_source.m_nCalls, 1);
  EXPECT_EQ(SortedNames(m_results), (std::vector<std::string>{"noted"}));
}

TEST_F(SearchSheet, CancelSearchesNothing) {
  auto sheet = OpenSheet();
  Click(sheet.get(), wxID_CANCEL);
  EXPECT_EQ(sheet->GetReturnCode(), wxID_CANCEL);
  EXPECT_FALSE(sheet->IsShown());
  EXPECT_EQ(m_source.m_nCalls, 0);
}

TEST_F(SearchSheet, NoteEmptyPatternFindsNotedItemsOrWithExactTheOthers) {
  auto sheet = OpenSheet();
  ASSERT_TRUE(sheet->SelectPage(PAGE_NOTE));
  Click(sheet.get(), wxID_OK);
  EXPECT_EQ(SortedNames(m_results), (std::vector<std::string>{"noted"}));

  m_results.clear();
  auto exact = OpenSheet();
  ASSERT_TRUE(exact->SelectPage(PAGE_NOTE));
  Check(exact->GetNotePage(), "ID_EXACT")->SetValue(true);
  Click(exact.get(), wxID_OK);
  // The set, the catalog, the folder and every file but "noted".
  EXPECT_EQ(SortedNames(m_results), (std::vector<std::string>{"ABC", "Disc", "abc", "abcd", "docs", "k1", "k1plus",
                                                              "set", "xABCy.txt", "zero"}));
}

namespace {

// A set whose items were modified at chosen times (UTC).
class DateSearch : public testing::Test {
 protected:
  DateSearch() : m_tz("UTC0"), m_source(m_set) {
    const std::int64_t now = std::time(nullptr);
    auto disc = TestCatalog("Disc");
    Add(*disc, TestFile("today", 1, now));
    Add(*disc, TestFile("old", 1, now - 3 * 86400));
    AddFolder(*disc, TestFolder("today-folder", now));
    Add(*disc, TestFile("dec31", 1, 978264000));  // 2000-12-31 12:00
    Add(*disc, TestFile("jan1", 1, 978350400));   // 2001-01-01 12:00
    m_set.AppendCatalog(std::move(disc), now - 10 * 86400);
    m_set.m_timeUpdated = int32_t(now - 10 * 86400);
  }

  std::vector<std::string> Search(const char* from, const char* to) {
    m_results.clear();
    CSearchSheet sheet(nullptr, "検索", "", m_source, m_results);
    sheet.Show();
    EXPECT_TRUE(sheet.SelectPage(PAGE_DATE));
    if (from) Text(sheet.GetDatePage(), "ID_DATE_FROM")->ChangeValue(from);
    if (to) Text(sheet.GetDatePage(), "ID_DATE_TO")->ChangeValue(to);
    Click(&sheet, wxID_OK);
    return SortedNames(m_results);
  }

  CScopedTimeZone m_tz;
  CRootFileInfo m_set{"set"};
  CSetSearchSource m_source;
  CItemSummaryList m_results;
};

}  // namespace

TEST_F(DateSearch, FieldsStartWithTodayWhenThePageIsFirstShown) {
  CSearchSheet sheet(nullptr, "検索", "", m_source, m_results);
  sheet.Show();
  EXPECT_EQ(Utf8(Text(sheet.GetDatePage(), "ID_DATE_FROM")->GetValue()), "");
  ASSERT_TRUE(sheet.SelectPage(PAGE_DATE));
  EXPECT_EQ(Utf8(Text(sheet.GetDatePage(), "ID_DATE_FROM")->GetValue()), TodayDateText());
  EXPECT_EQ(Utf8(Text(sheet.GetDatePage(), "ID_DATE_TO")->GetValue()), TodayDateText());
  // OK at once finds what was modified today, folders included.
  Click(&sheet, wxID_OK);
  EXPECT_EQ(SortedNames(m_results), (std::vector<std::string>{"today", "today-folder"}));
}

TEST_F(DateSearch, TextsThatAreNoDatesAreRefusedOnTheirFieldAndEmptyOnesAreNoBound) {
  // An upper bound takes the whole day, whatever its time; the command
  // line's forms are all taken.
  EXPECT_EQ(Search("2000/12/31", "2000/12/31 0:00"), (std::vector<std::string>{"dec31"}));
  EXPECT_EQ(Search("", "2000-12-31"), (std::vector<std::string>{"dec31"}));
  EXPECT_EQ(Search("2001-01-01 00:00", "2001-01-01"), (std::vector<std::string>{"jan1"}));
  for (const char* bad : {"2000/13/1", "2000/1/0", "2000/1/1 10", "2000/1/5x", "きのう"}) {
    SCOPED_TRACE(bad);
    m_results.clear();
    CSearchSheet sheet(nullptr, "検索", "", m_source, m_results);
    sheet.Show();
    ASSERT_TRUE(sheet.SelectPage(PAGE_DATE));
    wxTextCtrl* to = Text(sheet.GetDatePage(), "ID_DATE_TO");
    to->ChangeValue(wxString::FromUTF8(bad));
    wxTEST_DIALOG(
        Click(&sheet, wxID_OK),
        CExpectMessageBox(std::string("日付として読めません: ") + bad +
                          "（YYYY/MM/DD、YYYY/MM/DD h:m、YYYY-MM-DD、YYYY-MM-DD h:m のどれかで指定してください）"));
    EXPECT_TRUE(sheet.IsShown());
    EXPECT_TRUE(m_results.empty());
    EXPECT_EQ(wxWindow::FindFocus(), to);
  }
}
