// The main window: its status pane, display styles, bars, panes and keys.

#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>

#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "tests/gui/explorer_test_util.h"
#include "ui/explorer_ap_view.h"
#include "ui/frame_ids.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/main_menu.h"

namespace {

std::string Pane(wxFrame& frame, int pane) { return Utf8(frame.GetStatusBar()->GetStatusText(pane)); }

}  // namespace

TEST_F(CExplorerTest, TheStatusPaneShowsATextOnlyWhenItDiffersFromTheLastOneShown) {
  EXPECT_EQ(Pane(Frame(), 0), "ﾚﾃﾞｨ");
  Frame().SetStatusText("");  // the empty text of the set level: nothing to change
  EXPECT_EQ(Pane(Frame(), 0), "ﾚﾃﾞｨ");
  Frame().SetStatusText("CD1");
  EXPECT_EQ(Pane(Frame(), 0), "CD1");
  Frame().DoGiveHelp(wxString::FromUTF8("カタログを追加する"), true);
  EXPECT_EQ(Pane(Frame(), 0), "カタログを追加する");
  Frame().SetStatusText("CD1");  // the prompt stays
  EXPECT_EQ(Pane(Frame(), 0), "カタログを追加する");
  Frame().DoGiveHelp(wxString(), false);
  EXPECT_EQ(Pane(Frame(), 0), "ﾚﾃﾞｨ");
  Frame().SetStatusText("CD2");
  EXPECT_EQ(Pane(Frame(), 0), "CD2");
}

TEST_F(CExplorerTest, DisplayStylesCarryRadioMarksAndKeepTheRowsAndTheSelection) {
  UseSet(MakeExplorerTestSet());
  List().FillList("CD1");
  SelectRows({"readme.txt"});
  const std::vector<std::string> names = Names();
  EXPECT_TRUE(Checked(ID_VIEW_DETAILS));
  EXPECT_FALSE(Checked(ID_VIEW_SMALLICON));
  EXPECT_TRUE(Frame().GetMenuBar()->FindItem(ID_VIEW_DETAILS)->IsRadio());

  for (int id : {ID_VIEW_SMALLICON, ID_VIEW_LARGEICON, ID_VIEW_LIST, ID_VIEW_DETAILS}) {
    Command(id);
    for (int other : {ID_VIEW_SMALLICON, ID_VIEW_LARGEICON, ID_VIEW_LIST, ID_VIEW_DETAILS})
      EXPECT_EQ(Checked(other), other == id) << id << " " << other;
    EXPECT_EQ(Names(), names) << id;
    EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\readme.txt"})) << id;
  }
  // A fill in another style, and back: the columns are there again.
  Command(ID_VIEW_LIST);
  List().FillList("CD1\\docs");
  Command(ID_VIEW_DETAILS);
  EXPECT_EQ(Utf8(List().GetListCtrl()->GetItemText(FindRowByName(List().GetRows(), "c.doc"), 1)), "900KB");

  // A new set starts in the details style.
  Command(ID_VIEW_SMALLICON);
  UseSet(MakeExplorerTestSet());
  EXPECT_TRUE(Checked(ID_VIEW_DETAILS));
}

TEST_F(CExplorerTest, TheToolBarAndTheStatusBarShowAndHideWithCheckMarks) {
  EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));
  Command(ID_VIEW_TOOLBAR);
  EXPECT_FALSE(Frame().GetToolBar()->IsShown());
  EXPECT_FALSE(Checked(ID_VIEW_TOOLBAR));
  Command(ID_VIEW_TOOLBAR);
  EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));

  EXPECT_TRUE(Checked(ID_VIEW_STATUS_BAR));
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_FALSE(Frame().GetStatusBar()->IsShown());
  EXPECT_FALSE(Checked(ID_VIEW_STATUS_BAR));
  Command(ID_VIEW_STATUS_BAR);
  EXPECT_TRUE(Frame().GetStatusBar()->IsShown());
}

TEST_F(CExplorerTest, TabAndF6MoveBetweenThePanes) {
  UseSet(MakeExplorerTestSet());
  Settle();
  Frame().SetActiveView(&Tree());
  Key(Tree().GetTreeCtrl(), WXK_TAB);
  EXPECT_EQ(m_pManager->GetCurrentView(), &List());
  Key(List().GetListCtrl(), WXK_TAB);
  EXPECT_EQ(m_pManager->GetCurrentView(), &Tree());
  Command(ID_NEXT_PANE);
  EXPECT_EQ(m_pManager->GetCurrentView(), &List());
  Command(ID_PREV_PANE);
  EXPECT_EQ(m_pManager->GetCurrentView(), &Tree());

  // A click on the rows makes the list the active pane.
  wxWindow* rows = List().GetListCtrl()->GetChildren().back();
  wxMouseEvent click(wxEVT_LEFT_DOWN);
  click.SetEventObject(rows);
  rows->GetEventHandler()->ProcessEvent(click);
  EXPECT_EQ(m_pManager->GetCurrentView(), &List());
}

TEST_F(CExplorerTest, TheWindowHasTwoPanesTheBarsAndItsSize) {
  wxSplitterWindow* splitter = wxDynamicCast(Tree().GetTreeCtrl()->GetParent(), wxSplitterWindow);
  ASSERT_TRUE(splitter);
  EXPECT_EQ(splitter->GetWindow1(), Tree().GetTreeCtrl());
  EXPECT_EQ(splitter->GetWindow2(), List().GetListCtrl());
  EXPECT_EQ(splitter->GetSashPosition(), CMainFrame::kTreeWidth);
  EXPECT_EQ(Frame().GetSize(), wxSize(CMainFrame::kWidth, CMainFrame::kHeight));
  EXPECT_EQ(Utf8(Frame().GetTitle()), "無題 - クオリクス");
  ASSERT_TRUE(Doc().SaveAsPath(wxString::FromUTF8(m_home.File("backup.fcf"))));
  EXPECT_EQ(Utf8(Frame().GetTitle()), "backup.fcf - クオリクス");
  EXPECT_EQ(Utf8(TreeCtrl().GetItemText(TreeCtrl().GetRootItem())), "backup カタログセット");
  EXPECT_EQ(Frame().GetStatusBar()->GetFieldsCount(), 5);
  EXPECT_EQ(Frame().GetToolBar()->GetToolsCount(), 14u);  // eleven buttons, three gaps
  EXPECT_EQ(Utf8(Frame().GetToolBar()->GetToolShortHelp(ID_DELETE_CATALOG)), "削除");
  EXPECT_EQ(Utf8(Frame().GetToolBar()->GetToolLongHelp(ID_DELETE_CATALOG)), "カタログを削除する");
  EXPECT_TRUE(Tree().GetTreeCtrl()->GetDropTarget());  // dropped files become a catalog
  EXPECT_TRUE(List().GetListCtrl()->GetDropTarget());
  ASSERT_TRUE(Frame().GetContextMenu());
  EXPECT_EQ(Frame().GetContextMenu()->GetMenuItemCount(), 10u);
  // Update catalog follows delete in the menus, and is no button.
  EXPECT_EQ(Frame().GetContextMenu()->FindItemByPosition(2)->GetId(), ID_UPDATE_CATALOG);
  wxMenu* edit = Frame().GetMenuBar()->GetMenu(1);
  EXPECT_EQ(edit->FindItemByPosition(2)->GetId(), ID_UPDATE_CATALOG);
  EXPECT_EQ(Utf8(edit->FindItemByPosition(2)->GetItemLabel()), "カタログを更新(&U)...");
  EXPECT_FALSE(Frame().GetToolBar()->FindById(ID_UPDATE_CATALOG));
}

TEST(MainMenu, DeleteIsTheKeyOfDeleteCatalogAndCtrlDIsBoundToNothing) {
  bool deleteKey = false;
  for (const wxAcceleratorEntry& entry : MainAcceleratorEntries()) {
    if (entry.GetKeyCode() == WXK_DELETE && entry.GetFlags() == wxACCEL_NORMAL)
      deleteKey = entry.GetCommand() == ID_DELETE_CATALOG;
    EXPECT_FALSE(entry.GetKeyCode() == 'D') << "Ctrl+D must stay unbound";
  }
  EXPECT_TRUE(deleteKey);
  std::unique_ptr<wxMenuBar> bar(CreateMainMenuBar());
  wxMenuItem* item = bar->FindItem(ID_DELETE_CATALOG);
  ASSERT_TRUE(item);
  std::unique_ptr<wxAcceleratorEntry> accel(item->GetAccel());
  EXPECT_FALSE(accel);  // the menu binds no key of its own
  std::unique_ptr<wxAcceleratorEntry> newSet(bar->FindItem(wxID_NEW)->GetAccel());
  ASSERT_TRUE(newSet);
  EXPECT_EQ(newSet->GetKeyCode(), 'N');
}
