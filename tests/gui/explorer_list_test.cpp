// The list view on a real set: opening folders and files, sorting by the
// column headers, hints, enabling, status texts and dragging files out.

#include <cstdio>
#include <filesystem>

#include <wx/menu.h>
#include <wx/prntbase.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/locate_file_dlg.h"
#include "dialogs/note_edit_dlg.h"
#include "document/app_settings.h"
#include "document/cataloged_file_opener.h"
#include "document/command_ids.h"
#include "app/explorer_ap_app.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"
#include "ui/frame_ids.h"
#include "ui/left_view.h"
#include "ui/list_printout.h"
#include "ui/main_frame.h"
#include "ui/main_menu.h"

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

TEST_F(CExplorerTest, AnArchiveWithMembersOpensLikeAFolderInTheListAndTheTree) {
  auto set = MakeExplorerTestSet();
  auto* cd1 = static_cast<CFolderFileInfo*>(FindByPath(set.get(), "CD1"));
  CFolderFileInfo& members = cd1->AttachMembers(*Add(*cd1, TestFile("a.zip", 500)), 0);
  Add(*AddFolder(members, TestFolder("inner")), TestFile("deep.txt", 5));
  Add(members, TestFile("m.txt", 5));
  UseSet(std::move(set));
  List().FillList("CD1");
  ListEvent(List().GetListCtrl(), wxEVT_LIST_ITEM_ACTIVATED, FindRowByName(List().GetRows(), "a.zip"));
  EXPECT_EQ(List().GetCurrentPath(), "CD1\\a.zip");
  EXPECT_EQ(Names(), (NameList{"inner", "m.txt"}));
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1\\a.zip"));
  EXPECT_TRUE(Node("CD1\\a.zip\\inner").IsOk());
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

  // a.txt and d.txt were changed in the same minute: by name, whatever the direction.
  ListEvent(list, wxEVT_LIST_COL_CLICK, -1, 3);
  EXPECT_EQ(Names(), (NameList{"old", "c.doc", "B.txt", "a.txt", "d.txt"}));
  // The header's arrow marks the column and the direction, also after
  // another style and another folder.
  EXPECT_EQ(list->GetSortIndicator(), 3);
  EXPECT_FALSE(list->IsAscendingSortIndicator());
  Command(ID_VIEW_LIST);
  Command(ID_VIEW_DETAILS);
  List().FillList("CD1");
  EXPECT_EQ(list->GetSortIndicator(), 3);

  // The sort menu sets only the column; the view sorts on the hint.
  List().FillList("CD1\\docs");
  Command(ID_SORT_BY_NAME);
  EXPECT_EQ(list->GetSortIndicator(), 0);
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

  // The dialog opens ready for typing: the focus in the box, the note
  // selected so that typing replaces it.
  SelectRows({"c.doc"});
  wxTEST_DIALOG(Command(ID_EDIT_NOTE), CExpectDialog<CNoteEditDlg>([](CNoteEditDlg* dlg) {
                  dlg->Show();
                  wxTextCtrl* edit = XRCCTRL(*dlg, "ID_NOTE_EDIT", wxTextCtrl);
                  EXPECT_EQ(wxWindow::FindFocus(), edit);
                  long from = -1, to = -1;
                  edit->GetSelection(&from, &to);
                  EXPECT_EQ(from, 0);
                  EXPECT_EQ(to, edit->GetLastPosition());
                  EXPECT_EQ(Utf8(edit->GetStringSelection()), "メモ");
                  return AnswerDialog(dlg, wxID_CANCEL);
                }));
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

TEST_F(CExplorerTest, TheIconStylesTakeClicksAndKeysAsTheListDoes) {
  UseSet(MakeExplorerTestSet());
  List().FillList("CD1");
  Command(ID_VIEW_LARGEICON);
  FlushEvents();
  CRowListCtrl* list = List().GetListCtrl();
  wxWindow* rows = list->GetRowsWindow();
  const long readme = FindRowByName(List().GetRows(), "readme.txt");
  wxMouseEvent click(wxEVT_RIGHT_DOWN);
  click.SetPosition(list->GetRowRect(readme).GetPosition() + wxPoint(8, 8));
  click.SetEventObject(rows);
  rows->ProcessWindowEvent(click);
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\readme.txt"}));
  EXPECT_TRUE(Enabled(ID_PROPERTIES));
  // Left goes to the item before, a folder; Enter, which the list's own
  // handler takes, opens it.
  Key(rows, WXK_LEFT);
  const std::string before = List().GetRows()[std::size_t(readme - 1)].m_strName;
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\" + before}));
  Key(rows, WXK_RETURN);
  EXPECT_EQ(List().GetCurrentPath(), "CD1\\" + before);
}

TEST_F(CExplorerTest, BackspaceAndAltUpGoUpAndTabIntoTheListSelectsARowForEnter) {
  UseSet(MakeExplorerTestSet());
  Settle();
  List().OpenFolderRow(FindRowByName(List().GetRows(), "CD1"));
  List().OpenFolderRow(FindRowByName(List().GetRows(), "docs"));
  Settle();
  // Typed on the rows, which pass their keys to the list first.
  wxWindow* rows = List().GetListCtrl()->GetRowsWindow();
  Key(rows, WXK_BACK, wxMOD_SHIFT);
  Key(rows, WXK_UP);
  EXPECT_EQ(List().GetCurrentPath(), "CD1\\docs");
  Key(rows, WXK_BACK);
  // The folder left is selected, in the list and the tree, and stays so.
  EXPECT_EQ(List().GetCurrentPath(), "CD1");
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\docs"}));
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1"));
  EXPECT_FALSE(Tree().IsSettlePending());
  Key(rows, WXK_UP, wxMOD_ALT);
  EXPECT_EQ(List().GetCurrentPath(), "");
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1"}));
  EXPECT_EQ(TreeCtrl().GetSelection(), TreeCtrl().GetRootItem());
  const int fills = List().GetFillCount();
  Key(rows, WXK_BACK);  // the set has no parent
  EXPECT_EQ(List().GetFillCount(), fills);

  // Tab from the tree into a list without a selection selects its first
  // row, and Enter opens it.
  Tree().RevealPath("CD1");
  Settle();
  Frame().SetActiveView(&Tree());
  Key(&TreeCtrl(), WXK_TAB);
  EXPECT_EQ(m_pManager->GetCurrentView(), &List());
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\docs"}));
  Key(rows, WXK_RETURN);
  EXPECT_EQ(List().GetCurrentPath(), "CD1\\docs");
  // F6 likewise, taking the focused row; a selection is left as it is.
  List().GetListCtrl()->SelectRows({}, 2);
  Frame().SetActiveView(&Tree());
  Command(ID_NEXT_PANE);
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{List().RowFullPath(2)}));
  SelectRows({"a.txt", "B.txt"});
  Frame().SetActiveView(&Tree());
  Key(&TreeCtrl(), WXK_TAB);
  EXPECT_EQ(List().SelectedPaths().size(), 2u);
}

TEST_F(CExplorerTest, CtrlPPreviewsTheListAsShownWithHeadingsAndPageNumbers) {
  auto set = MakeExplorerTestSet();
  auto many = TestCatalog("Many");
  for (int i = 0; i < 150; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%03d.txt", i);
    Add(*many, TestFile(name, 2048));
  }
  set->AppendCatalog(std::move(many), 0);
  UseSet(std::move(set));
  List().FillList("Many");
  bool previewKey = false;
  for (const wxAcceleratorEntry& entry : MainAcceleratorEntries())
    if (entry.GetKeyCode() == 'P' && entry.GetFlags() == wxACCEL_CTRL) previewKey = entry.GetCommand() == wxID_PREVIEW;
  EXPECT_TRUE(previewKey);
  EXPECT_TRUE(Frame().GetMenuBar()->FindItem(wxID_PREVIEW));

  Frame().SetActiveView(&Tree());  // the list is printed from either pane
  Command(wxID_PREVIEW);
  wxPreviewFrame* frame = nullptr;
  for (wxWindow* window : wxTopLevelWindows)
    if (auto* found = dynamic_cast<wxPreviewFrame*>(window)) frame = found;
  ASSERT_TRUE(frame);
  EXPECT_EQ(Utf8(frame->GetTitle()), "印刷プレビュー");
  wxPreviewControlBar* bar = nullptr;
  for (wxWindow* child : frame->GetChildren())
    if (auto* found = dynamic_cast<wxPreviewControlBar*>(child)) bar = found;
  ASSERT_TRUE(bar);
  wxPrintPreviewBase* preview = bar->GetPrintPreview();
  auto* printout = dynamic_cast<CListPrintout*>(preview->GetPrintout());
  ASSERT_TRUE(printout);
  ASSERT_TRUE(preview->RenderPage(1));  // the printout measures its pages on the first one
  const int pages = printout->GetPageCount();
  EXPECT_GE(pages, 2);
  EXPECT_EQ(preview->GetMaxPage(), pages);

  auto texts = [&](int page) {
    std::vector<std::string> shown;
    for (const CPrintedText& text : printout->PageTexts(page)) shown.push_back(text.m_strText);
    return shown;
  };
  const std::vector<std::string> first = texts(1);
  ASSERT_GE(first.size(), 12u);
  // The place, the headings, then the rows with every column.
  EXPECT_EQ(first[0], "Many");
  EXPECT_EQ(std::vector<std::string>(first.begin() + 1, first.begin() + 6),
            (std::vector<std::string>{"名前", "サイズ", "ファイルの種類", "更新日時", "ノート"}));
  EXPECT_EQ(first[6], "f000.txt");
  EXPECT_EQ(first[7], "2KB");
  EXPECT_EQ(first.back(), "- 1 / " + std::to_string(pages) + " -");
  const std::vector<std::string> last = texts(pages);
  EXPECT_EQ(last[last.size() - 6], "f149.txt");
  EXPECT_TRUE(preview->RenderPage(pages));
  frame->Close(true);
  FlushEvents();
}
