// The results dialog: its rows, the chosen path and its resizing.

#include <gtest/gtest.h>

#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/find_by_text_page.h"
#include "dialogs/search_result_dlg.h"
#include "dialogs/search_sheet.h"
#include "tests/gui/gui_test_sets.h"
#include "tests/gui/gui_test_util.h"
#include "ui/file_icon_cache.h"

namespace {

// Every extension gets its own plain square; nothing depends on the desktop.
class CPlainIconSource : public CIconSource {
 public:
  bool LookUp(const std::string&, wxBitmap& large, wxBitmap& small) override {
    large = wxBitmap(32, 32);
    small = wxBitmap(16, 16);
    return true;
  }
};

class SearchResultDlg : public testing::Test {
 protected:
  SearchResultDlg() : m_icons(std::make_unique<CPlainIconSource>()) {
    auto disc = TestCatalog("Disc.1");  // a dot in the label is no extension
    Add(*disc, TestFile("b.txt"));
    Add(*disc, TestFile("readme"));
    CFolderFileInfo* photos = AddFolder(*disc, TestFolder("photos.zip"));
    Add(*photos, TestFile("A.jpg"));
    AddFolder(*disc, TestFolder("Archive"));
    m_set.AppendCatalog(std::move(disc), 1000);
    auto other = TestCatalog("Other");
    Add(*other, TestFile("readme"));
    m_set.AppendCatalog(std::move(other), 1000);
  }

  // The results of a name search over the whole set.
  void Find(const std::string& pattern) {
    m_results.clear();
    m_set.FindByName("", pattern, false, false, m_results);
  }

  std::vector<std::string> Rows(const CSearchResultDlg& dlg) {
    std::vector<std::string> rows;
    wxListCtrl* list = dlg.GetList();
    for (long i = 0; i < list->GetItemCount(); ++i) {
      wxListItem item;
      item.SetId(i);
      item.SetMask(wxLIST_MASK_IMAGE);
      list->GetItem(item);
      rows.push_back(Utf8(list->GetItemText(i, 1)) + "|" + Utf8(list->GetItemText(i, 0)) + "|" +
                     std::to_string(item.GetImage()));
    }
    return rows;
  }

  static std::string CountText(const CSearchResultDlg& dlg) {
    return Utf8(XRCCTRL(dlg, "ID_RESULT_COUNT", wxStaticText)->GetLabel());
  }

  static void SelectRow(const CSearchResultDlg& dlg, long row) {
    dlg.GetList()->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  }

  CFileIconCache m_icons;
  CRootFileInfo m_set{"set"};
  CItemSummaryList m_results;
};

}  // namespace

TEST_F(SearchResultDlg, ColumnsRowsOrderAndCount) {
  Find("");  // everything: the set and the catalogs get no row
  CSearchResultDlg dlg(nullptr, m_results, m_icons);
  EXPECT_EQ(Utf8(dlg.GetTitle()), "検索結果");
  wxListCtrl* list = dlg.GetList();
  ASSERT_EQ(list->GetColumnCount(), 2);
  wxListItem column;
  list->GetColumn(0, column);
  EXPECT_EQ(Utf8(column.GetText()), "ファイル");
  list->GetColumn(1, column);
  EXPECT_EQ(Utf8(column.GetText()), "カタログ");
  // Both columns in view, the catalog's at its usual 100 at least.
  EXPECT_GE(list->GetColumnWidth(0), 100);
  EXPECT_GE(list->GetColumnWidth(1), 100);
  EXPECT_LE(list->GetColumnWidth(0) + list->GetColumnWidth(1), list->GetClientSize().x);

  const int folder = CFileIconCache::IMAGE_FOLDER;
  const int txt = m_icons.GetImageIndex("x.txt", false, false, false);
  const int none = m_icons.GetImageIndex("x", false, false, false);
  const int jpg = m_icons.GetImageIndex("x.jpg", false, false, false);
  EXPECT_EQ(Rows(dlg), (std::vector<std::string>{
                           "Disc.1|\\Archive|" + std::to_string(folder),
                           "Disc.1|\\photos.zip|" + std::to_string(folder),
                           "Disc.1|\\b.txt|" + std::to_string(txt),
                           "Disc.1|\\photos.zip\\A.jpg|" + std::to_string(jpg),
                           "Disc.1|\\readme|" + std::to_string(none),
                           "Other|\\readme|" + std::to_string(none),
                       }));
  EXPECT_EQ(CountText(dlg), "6 件が検索されました。選択したノードが展開されます");
  EXPECT_EQ(list->GetImageList(wxIMAGE_LIST_SMALL), m_icons.GetSmallImageList());
}

TEST_F(SearchResultDlg, NoMatchStillOpensWithCountZero) {
  Find("no such name");
  CSearchResultDlg dlg(nullptr, m_results, m_icons);
  dlg.Show();
  EXPECT_EQ(dlg.GetList()->GetItemCount(), 0);
  EXPECT_EQ(CountText(dlg), "0 件が検索されました。選択したノードが展開されます");
  Click(&dlg, wxID_OK);
  EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
  EXPECT_EQ(dlg.GetSelectedPath(), "");
}

TEST_F(SearchResultDlg, SelectRebuildsThePathOfTheChosenCatalogsItem) {
  Find("readme");  // the same name in two catalogs: two rows
  CSearchResultDlg dlg(nullptr, m_results, m_icons);
  dlg.Show();
  ASSERT_EQ(Rows(dlg).size(), 2u);
  SelectRow(dlg, 1);
  Click(&dlg, wxID_OK);
  EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
  EXPECT_FALSE(dlg.IsShown());
  EXPECT_EQ(dlg.GetSelectedPath(), "Other\\readme");
  auto item = m_set.GetItemSummary(dlg.GetSelectedPath());
  ASSERT_TRUE(item);
  EXPECT_EQ(item->m_strPath, "Other\\readme");
}

TEST_F(SearchResultDlg, SelectWithoutARowOrCancelGivesNoPath) {
  Find("");
  CSearchResultDlg none(nullptr, m_results, m_icons);
  none.Show();
  none.GetList()->SetItemState(0, 0, wxLIST_STATE_SELECTED);  // the user took the selection away
  Click(&none, wxID_OK);
  EXPECT_EQ(none.GetReturnCode(), wxID_OK);
  EXPECT_EQ(none.GetSelectedPath(), "");

  CSearchResultDlg cancelled(nullptr, m_results, m_icons);
  cancelled.Show();
  SelectRow(cancelled, 0);
  Click(&cancelled, wxID_CANCEL);
  EXPECT_EQ(cancelled.GetReturnCode(), wxID_CANCEL);
  EXPECT_EQ(cancelled.GetSelectedPath(), "");
}

TEST_F(SearchResultDlg, FirstRowIsSelectedSoSelectAndEnterActAtOnce) {
  auto catalog = TestCatalog("とても長いカタログのラベル（二〇二六年 写真 外付けディスク 3）");
  Add(*catalog, TestFile("readme"));
  m_set.AppendCatalog(std::move(catalog), 1000);
  Find("readme");
  CSearchResultDlg clicked(nullptr, m_results, m_icons);
  clicked.Show();
  wxListCtrl* list = clicked.GetList();
  EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 0);
  // The long label is shown whole.
  EXPECT_GE(list->GetColumnWidth(1), list->GetTextExtent(list->GetItemText(0, 1)).x);
  Click(&clicked, wxID_OK);
  EXPECT_EQ(clicked.GetSelectedPath(), "Disc.1\\readme");

  CSearchResultDlg entered(nullptr, m_results, m_icons);
  entered.Show();
  wxKeyEvent enter(wxEVT_CHAR_HOOK);
  enter.m_keyCode = WXK_RETURN;
  enter.SetEventObject(entered.GetList());
  entered.GetList()->GetEventHandler()->ProcessEvent(enter);
  EXPECT_EQ(entered.GetReturnCode(), wxID_OK);
  EXPECT_EQ(entered.GetSelectedPath(), "Disc.1\\readme");
}

TEST_F(SearchResultDlg, ResizingStretchesTheListAndTheCountAndStopsAtTheMinimum) {
  Find("");
  CSearchResultDlg dlg(nullptr, m_results, m_icons);
  dlg.Show();
  FlushEvents();
  wxWindow* list = dlg.GetList();
  wxWindow* select = dlg.FindWindow(wxID_OK);
  wxWindow* cancel = dlg.FindWindow(wxID_CANCEL);
  wxWindow* count = dlg.FindWindow(XRCID("ID_RESULT_COUNT"));
  const wxRect list0 = list->GetRect(), select0 = select->GetRect(), cancel0 = cancel->GetRect();
  const wxRect count0 = count->GetRect();

  const wxSize grow(120, 80);
  dlg.SetSize(dlg.GetSize() + grow);
  FlushEvents();
  EXPECT_EQ(list->GetRect(), wxRect(list0.GetPosition(), list0.GetSize() + grow));
  EXPECT_EQ(select->GetRect(), wxRect(select0.GetPosition() + grow, select0.GetSize()));
  EXPECT_EQ(cancel->GetRect(), wxRect(cancel0.GetPosition() + grow, cancel0.GetSize()));
  EXPECT_EQ(count->GetRect(), wxRect(count0.GetPosition(), count0.GetSize() + wxSize(grow.x, 0)));

  dlg.SetSize(100, 60);
  FlushEvents();
  EXPECT_EQ(dlg.GetMinSize(), wxSize(322, 166));
  EXPECT_GE(dlg.GetSize().x, 322);
  EXPECT_GE(dlg.GetSize().y, 166);
  // The count wraps rather than being cut off.
  EXPECT_EQ(ClippedControls(&dlg), std::vector<std::string>());
}

TEST_F(SearchResultDlg, ASearchFromTheSheetToTheChosenItem) {
  CSetSearchSource source(m_set);
  {
    CSearchSheet sheet(nullptr, "検索", "", source, m_results);
    sheet.Show();
    XRCCTRL(*sheet.GetNamePage(), "ID_NAME_PATTERN", wxTextCtrl)->ChangeValue("a.jpg");
    Click(&sheet, wxID_OK);
  }
  CSearchResultDlg dlg(nullptr, m_results, m_icons);
  dlg.Show();
  ASSERT_EQ(dlg.GetList()->GetItemCount(), 1);
  SelectRow(dlg, 0);
  Click(&dlg, wxID_OK);
  EXPECT_EQ(dlg.GetSelectedPath(), "Disc.1\\photos.zip\\A.jpg");
}

TEST_F(SearchResultDlg, ADoubleClickChoosesItsRowAndFiftyThousandResultsFillAtOnce) {
  Find("readme");
  CSearchResultDlg clicked(nullptr, m_results, m_icons);
  clicked.Show();
  wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, clicked.GetList()->GetId());
  activated.SetEventObject(clicked.GetList());
  activated.m_itemIndex = 1;  // not the row selected first
  clicked.GetList()->GetEventHandler()->ProcessEvent(activated);
  EXPECT_EQ(clicked.GetReturnCode(), wxID_OK);
  EXPECT_FALSE(clicked.IsShown());
  EXPECT_EQ(clicked.GetSelectedPath(), "Other\\readme");

  // The list reads its rows as it draws them, rather than holding a copy
  // of each.
  m_results.clear();
  for (int i = 0; i < 50000; ++i) {
    auto record = std::make_unique<CItemSummary>();
    record->m_strName = "f" + std::to_string(100000 + i) + ".txt";
    record->m_strPath = "Big\\" + record->m_strName;
    m_results.push_back(std::move(record));
  }
  CSearchResultDlg many(nullptr, m_results, m_icons);
  many.Show();
  wxListCtrl* list = many.GetList();
  EXPECT_TRUE(list->HasFlag(wxLC_VIRTUAL));
  ASSERT_EQ(list->GetItemCount(), 50000);
  EXPECT_EQ(Utf8(list->GetItemText(49999, 0)), "\\f149999.txt");
  EXPECT_EQ(Utf8(list->GetItemText(49999, 1)), "Big");
  EXPECT_EQ(CountText(many), "50000 件が検索されました。選択したノードが展開されます");
  SelectRow(many, 49999);
  Click(&many, wxID_OK);
  EXPECT_EQ(many.GetSelectedPath(), "Big\\f149999.txt");
}
