// The list view on a real set: opening folders and files, sorting by the
// column headers, hints, enabling, status texts and dragging files out.

#include <filesystem>

#include "dialogs/locate_file_dlg.h"
#include "document/app_settings.h"
#include "document/cataloged_file_opener.h"
#include "document/command_ids.h"
#include "document/explorer_ap_app.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

namespace {

using NameList = std::vector<std::string>;

void ListEvent(wxListCtrl* list, wxEventType type, long row, int column = -1) {
  wxListEvent event(type, list->GetId());
  event.SetEventObject(list);
  event.m_itemIndex = row;
  event.m_col = column;
  list->GetEventHandler()->ProcessEvent(event);
}

CExpectDialog<CLocateFileDlg> CancelLocate() {
  return CExpectDialog<CLocateFileDlg>([](CLocateFileDlg* dlg) { return AnswerDialog(dlg, wxID_CANCEL); });
}

}  // namespace

TEST_F(CExplorerTest, OpeningAFolderInTheListSelectsItInTheTree) {
  UseSet(MakeExplorerTestSet());
  Settle();
  const int fills = List().GetFillCount();
  wxListCtrl* list = List().GetListCtrl();
  ListEvent(list, wxEVT_LIST_ITEM_ACTIVATED, FindRowByName(List().GetRows(), "CD1"));  // a double click
  EXPECT_EQ(List().GetCurrentPath(), "CD1");
  EXPECT_EQ(Names(), (NameList{"docs", "empty", "Photos", "readme.txt", "zeta.bin"}));
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1"));
  Settle();  // the tree's own fill, of the same folder
  EXPECT_EQ(List().GetFillCount(), fills + 2);
  EXPECT_EQ(List().GetCurrentPath(), "CD1");

  SelectRows({"docs"});
  Key(list, WXK_RETURN);
  EXPECT_EQ(List().GetCurrentPath(), "CD1\\docs");
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1\\docs"));
  EXPECT_EQ(Names(), (NameList{"old", "a.txt", "B.txt", "c.doc", "d.txt"}));
}

TEST_F(CExplorerTest, EnterOpensTheFirstCatalogAndNothingForAMixedSelection) {
  UseSet(MakeExplorerTestSet());
  Settle();
  wxListCtrl* list = List().GetListCtrl();
  SelectRows({"CD2", "CD1"});
  Key(list, WXK_RETURN);
  EXPECT_EQ(List().GetCurrentPath(), "CD1");  // first in list order

  SelectRows({"docs", "readme.txt"});
  Key(list, WXK_RETURN);
  EXPECT_EQ(List().GetCurrentPath(), "CD1");
}

TEST_F(CExplorerTest, FilesOpenThroughTheCatalogedFileOpener) {
  UseSet(MakeExplorerTestSet());
  List().FillList("CD1");
  // The catalog's place (/data/CD1) is not there: the opener asks where the
  // file went; giving up ends in its message.
  wxTEST_DIALOG(ListEvent(List().GetListCtrl(), wxEVT_LIST_ITEM_ACTIVATED, FindRowByName(List().GetRows(), "zeta.bin")),
                CancelLocate(), CExpectMessageBox(kOpenFileFailed));
  SelectRows({"readme.txt"});
  EXPECT_TRUE(Enabled(ID_OPEN_FILE));
  wxTEST_DIALOG(Command(ID_OPEN_FILE), CancelLocate(), CExpectMessageBox(kOpenFileFailed));
}

TEST_F(CExplorerTest, ColumnClicksToggleTheDirectionAndKeepItForAnotherColumn) {
  UseSet(MakeExplorerTestSet());
  List().FillList("CD1\\docs");
  wxListCtrl* list = List().GetListCtrl();
  SelectRows({"B.txt"});
  ListEvent(list, wxEVT_LIST_COL_CLICK, -1, 0);
  EXPECT_FALSE(Doc().m_bSortAscending);
  EXPECT_EQ(Names(), (NameList{"old", "d.txt", "c.doc", "B.txt", "a.txt"}));
  ListEvent(list, wxEVT_LIST_COL_CLICK, -1, 1);
  EXPECT_EQ(Doc().m_nSortColumn, 1);
  EXPECT_FALSE(Doc().m_bSortAscending);
  EXPECT_EQ(Names(), (NameList{"old", "B.txt", "c.doc", "a.txt", "d.txt"}));  // 2MB before 900KB
  // The selection stays with its row.
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\docs\\B.txt"}));

  // a.txt and d.txt were changed in the same minute: equal, in their order.
  ListEvent(list, wxEVT_LIST_COL_CLICK, -1, 3);
  EXPECT_EQ(Names(), (NameList{"old", "c.doc", "B.txt", "a.txt", "d.txt"}));

  // The sort menu sets only the column; the view sorts on the hint.
  Command(ID_SORT_BY_NAME);
  EXPECT_EQ(Names(), (NameList{"old", "d.txt", "c.doc", "B.txt", "a.txt"}));
  EXPECT_TRUE(Checked(ID_SORT_BY_NAME));
  EXPECT_EQ(list->GetItemText(FindRowByName(List().GetRows(), "B.txt"), 1), "2MB");
  EXPECT_EQ(Utf8(list->GetItemText(FindRowByName(List().GetRows(), "old"), 1)), "");
}

TEST_F(CExplorerTest, TheListsCommandsFollowItsSelection) {
  UseSet(MakeExplorerTestSet());
  Settle();
  Frame().SetActiveView(&List());
  EXPECT_FALSE(Enabled(ID_DELETE_CATALOG));
  EXPECT_FALSE(Enabled(ID_PROPERTIES));
  EXPECT_TRUE(Enabled(ID_SEARCH));
  SelectRows({"CD1"});
  EXPECT_TRUE(Enabled(ID_DELETE_CATALOG));
  EXPECT_FALSE(Enabled(ID_OPEN_FILE));  // catalogs are no files
  List().FillList("CD1");
  SelectRows({"readme.txt"});
  EXPECT_FALSE(Enabled(ID_DELETE_CATALOG));
  EXPECT_TRUE(Enabled(ID_OPEN_FILE));
  SelectRows({"readme.txt", "docs"});
  EXPECT_FALSE(Enabled(ID_OPEN_FILE));
  EXPECT_TRUE(Enabled(ID_COPY_LOCATION));

  // Select all marks every row and focuses the last.
  Frame().SetActiveView(&Tree());
  Command(ID_SELECT_ALL);
  EXPECT_EQ(List().GetListCtrl()->GetSelectedItemCount(), 5);
  EXPECT_EQ(List().GetListCtrl()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED), 4);
  EXPECT_EQ(m_pManager->GetCurrentView(), &List());
}

TEST_F(CExplorerTest, TheStatusTextNamesThePlaceTheRowOrTheCount) {
  UseSet(MakeExplorerTestSet());
  Settle();
  SelectRows({"CD1"});
  EXPECT_EQ(ListStatus(), "CD1");
  List().FillList("CD1\\docs");
  EXPECT_EQ(ListStatus(), "CD1\\docs");
  SelectRows({"a.txt"});
  EXPECT_EQ(ListStatus(), "CD1\\docs\\a.txt");
  SelectRows({"a.txt", "old", "c.doc"});
  EXPECT_EQ(ListStatus(), "3 個のファイルを選択");

  // At idle time the active view's text reaches the first pane.
  RefreshStatusText(*m_pManager);
  EXPECT_EQ(Utf8(Frame().GetStatusBar()->GetStatusText(0)), "3 個のファイルを選択");
}

TEST_F(CExplorerTest, NoteChangesReachOnlyTheRowsOfTheListedFolder) {
  UseSet(MakeExplorerTestSet());
  List().FillList("CD1\\docs");
  wxListCtrl* list = List().GetListCtrl();
  const long a = FindRowByName(List().GetRows(), "a.txt");
  CNoteHint elsewhere("CD1\\a.txt", "no");
  Doc().UpdateAllViews(nullptr, &elsewhere);
  CNoteHint deeper("CD1\\docs\\old\\a.txt", "no");
  Doc().UpdateAllViews(nullptr, &deeper);
  EXPECT_EQ(Utf8(list->GetItemText(a, 4)), "");

  SelectRows({"a.txt", "c.doc"});
  wxTEST_DIALOG(Command(ID_EDIT_NOTE), CExpectNoteDlg("", "メモ"));
  EXPECT_EQ(Utf8(list->GetItemText(a, 4)), "メモ");
  EXPECT_EQ(Utf8(list->GetItemText(FindRowByName(List().GetRows(), "c.doc"), 4)), "メモ");
  EXPECT_EQ(Utf8(list->GetItemText(FindRowByName(List().GetRows(), "d.txt"), 4)), "");

  // A note of several lines keeps its row to one line.
  CNoteHint lines("CD1\\docs\\a.txt", "一行目\r\n二行目\n\t三");
  Doc().UpdateAllViews(nullptr, &lines);
  EXPECT_EQ(Utf8(list->GetItemText(a, 4)), "一行目 二行目  三");
  EXPECT_EQ(List().GetRows()[std::size_t(a)].m_strNote, "一行目\r\n二行目\n\t三");
}

TEST_F(CExplorerTest, DraggingOffersTheConfirmedRealFilesAndCatalogsStartNothing) {
  const std::string disk = m_home.File("disk");
  std::filesystem::create_directories(disk);
  WriteTextFile(disk + "/here.txt", "x");
  auto set = MakeExplorerTestSet();
  auto catalog = TestCatalog("Disk");
  catalog->m_strCatalogedPath = disk;
  Add(*catalog, TestFile("here.txt"));
  Add(*catalog, TestFile("gone.txt"));
  set->AppendCatalog(std::move(catalog), 0);
  UseSet(std::move(set));
  Settle();

  SelectRows({"CD1", "Disk"});
  EXPECT_TRUE(List().DragFilePaths().empty());  // no dialog either

  List().FillList("Disk");
  SelectRows({"gone.txt", "here.txt"});
  std::vector<std::string> files;
  wxTEST_DIALOG(files = List().DragFilePaths(), CancelLocate());
  EXPECT_EQ(files, (std::vector<std::string>{disk + "/here.txt"}));
}

TEST_F(CExplorerTest, ARightClickAfterOpeningAFolderSelectsTheRowUnderThePointer) {
  UseSet(MakeExplorerTestSet());
  List().FillList("CD1");
  List().OpenFolderRow(FindRowByName(List().GetRows(), "docs"));
  Settle();       // the tree's fill of the same folder, done now
  FlushEvents();  // laid out, as before any click of a user
  CRowListCtrl* list = List().GetListCtrl();
  const long row = FindRowByName(List().GetRows(), "c.doc");
  wxRect rect;
  ASSERT_TRUE(list->GetItemRect(row, rect));
  // A context menu asked for by the control itself (the desktop asks for
  // the others after the click) must find the row selected.
  std::vector<std::vector<std::string>> atMenus;
  wxEvtHandler spy;
  spy.Bind(wxEVT_CONTEXT_MENU, [&](wxContextMenuEvent&) { atMenus.push_back(List().SelectedPaths()); });
  list->PushEventHandler(&spy);
  wxMouseEvent click(wxEVT_RIGHT_DOWN);
  // The item rectangle is the control's; the click lands in the rows' window.
  click.SetPosition(rect.GetPosition() - list->GetRowsWindow()->GetPosition() + wxPoint(4, rect.height / 2));
  click.SetEventObject(list->GetRowsWindow());
  list->GetRowsWindow()->ProcessWindowEvent(click);
  list->PopEventHandler();
  const std::vector<std::string> cDoc{"CD1\\docs\\c.doc"};
  for (const auto& selected : atMenus) EXPECT_EQ(selected, cDoc);
  EXPECT_EQ(List().SelectedPaths(), cDoc);
  EXPECT_TRUE(Enabled(ID_PROPERTIES));
}
