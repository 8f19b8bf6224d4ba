// The main window: its status pane, display styles, bars, panes and keys.

#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>

#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "document/settings_file.h"
#include "document/window_layout.h"
#include "model/set_file.h"
#include "model/text_format.h"
#include "resources/svg_images.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/path_rules.h"
#include "tests/gui/explorer_test_util.h"
#include "ui/explorer_ap_view.h"
#include "ui/frame_ids.h"
#include "ui/gtk_extras.h"
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
  // Every button says what it does, the framework's own too.
  wxToolBar* tools = Frame().GetToolBar();
  for (int pos = 0; pos < int(tools->GetToolsCount()); ++pos) {
    if (const wxToolBarToolBase* tool = tools->GetToolByPos(pos); !tool->IsSeparator()) {
      EXPECT_FALSE(tool->GetShortHelp().empty()) << tool->GetId();
    }
  }
  EXPECT_EQ(Utf8(tools->GetToolShortHelp(wxID_NEW)), "新規作成");
  EXPECT_EQ(Utf8(tools->GetToolShortHelp(wxID_ABOUT)), "バージョン情報");
  EXPECT_TRUE(Tree().GetTreeCtrl()->GetDropTarget());  // dropped files become a catalog
  EXPECT_TRUE(List().GetListCtrl()->GetDropTarget());
  ASSERT_TRUE(Frame().GetContextMenu());
  EXPECT_EQ(Frame().GetContextMenu()->GetMenuItemCount(), 11u);
  // Update catalog follows delete in the menus, and is no button.
  EXPECT_EQ(Frame().GetContextMenu()->FindItemByPosition(2)->GetId(), ID_UPDATE_CATALOG);
  wxMenu* edit = Frame().GetMenuBar()->GetMenu(1);
  EXPECT_EQ(edit->FindItemByPosition(2)->GetId(), ID_UPDATE_CATALOG);
  EXPECT_EQ(Utf8(edit->FindItemByPosition(2)->GetItemLabel()), "カタログを更新(&U)...");
  EXPECT_EQ(Frame().GetContextMenu()->FindItemByPosition(3)->GetId(), ID_VERIFY_CATALOG);
  EXPECT_EQ(Utf8(edit->FindItemByPosition(3)->GetItemLabel()), "カタログを検証(&V)...");
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

TEST_F(CExplorerTest, MenuPromptsAreTheProgramsOwnAndTheKeysTheTablesAlone) {
  auto highlight = [&](int id) {
    wxMenuEvent event(wxEVT_MENU_HIGHLIGHT, id);
    event.SetEventObject(&Frame());
    Frame().ProcessWindowEvent(event);
    return Pane(Frame(), 0);
  };
  EXPECT_EQ(highlight(ID_ADD_CATALOG), "カタログを追加する");
  // Stock commands without a prompt of their own show none, not wx's.
  for (int id : {wxID_NEW, wxID_OPEN, wxID_SAVEAS, wxID_EXIT, wxID_ABOUT}) EXPECT_EQ(highlight(id), "") << id;

  wxMenuBar* bar = Frame().GetMenuBar();
  EXPECT_EQ(CountItemShortcuts(bar->FindItem(wxID_EXIT)), 0);  // no Ctrl+Q
  EXPECT_EQ(CountItemShortcuts(bar->FindItem(wxID_SAVEAS)), 0);
  EXPECT_EQ(CountItemShortcuts(bar->FindItem(wxID_OPEN)), 1);
  // An item whose key was taken away shows no shortcut text ("-/-").
  EXPECT_EQ(ItemShortcutTextWidth(bar->FindItem(wxID_EXIT)), 0);
  EXPECT_EQ(ItemShortcutTextWidth(bar->FindItem(wxID_SAVEAS)), 0);
  EXPECT_GT(ItemShortcutTextWidth(bar->FindItem(wxID_OPEN)), 0);
}

TEST_F(CExplorerTest, RecentFilesStandAboveExitAndOneThatCannotBeOpenedLeaves) {
  const std::string a = m_home.File("a.fcf"), b = m_home.File("b.fcf");
  for (const std::string& path : {a, b}) ASSERT_EQ(WriteSetFile(path, CRootFileInfo("x")), ESetFileError::None);
  ASSERT_TRUE(m_pManager->CreateDocument(wxString::FromUTF8(a)));
  ASSERT_TRUE(m_pManager->CreateDocument(wxString::FromUTF8(b)));
  wxMenu* file = Frame().GetMenuBar()->GetMenu(0);
  auto tail = [&]() {
    // The labels from the separator before the list to exit.
    std::vector<std::string> labels;
    size_t exit = 0;
    file->FindChildItem(wxID_EXIT, &exit);
    for (size_t i = exit >= 4 ? exit - 4 : 0; i <= exit; ++i) {
      wxMenuItem* item = file->FindItemByPosition(i);
      labels.push_back(item->IsSeparator() ? "-" : Utf8(item->GetItemLabel()));
    }
    return labels;
  };
  EXPECT_EQ(tail(), (std::vector<std::string>{"-", "&1 " + b, "&2 " + a, "-", "アプリケーションの終了(&X)"}));

  WriteTextFile(a, "not a set");
  wxTEST_DIALOG(Command(wxID_FILE2), CExpectMessageBox("予期しないﾌｧｲﾙ形式です。"));
  EXPECT_EQ(m_pManager->GetFileHistory()->GetCount(), 1u);
  EXPECT_EQ(tail()[2], "&1 " + b);
  EXPECT_EQ(tail()[3], "-");
}

TEST_F(CExplorerTest, EveryNewOrOpenedSetGetsTheColumnsWithTheirFirstWidths) {
  CRowListCtrl* list = List().GetListCtrl();
  const std::vector<int> first = list->GetColumnWidths();
  list->SetColumnWidth(0, 300);
  list->SetColumnWidth(4, 20);
  UseSet(MakeExplorerTestSet());
  EXPECT_EQ(list->GetColumnWidths(), first);
  wxListItem kind;
  kind.SetMask(wxLIST_MASK_TEXT);
  list->GetColumn(2, kind);
  EXPECT_EQ(Utf8(kind.GetText()), "ファイルの種類");
  // A full date and the common kinds show whole, at whatever scale the
  // display has; the table's widths are the least.
  auto width = [&](const std::string& text) { return list->GetTextExtent(wxString::FromUTF8(text)).x; };
  EXPECT_GT(first[LIST_COLUMN_DATE], width("2026/12/07 23:59"));
  for (const char* extension : {".txt", ".jpg", ".html"})
    EXPECT_GT(first[LIST_COLUMN_KIND], width(TypeNameFor(extension, false))) << extension;
  EXPECT_GE(first[LIST_COLUMN_NAME], list->FromDIP(120));
  EXPECT_GE(first[LIST_COLUMN_NOTE], list->FromDIP(200));
}

TEST_F(CExplorerTest, ADoubleClickOnAHeaderDividerFitsTheColumnBeforeIt) {
  UseSet(MakeExplorerTestSet());
  Settle();
  List().FillList("CD1\\docs");
  CRowListCtrl* list = List().GetListCtrl();
  list->SetColumnWidth(LIST_COLUMN_NAME, 20);
  wxWindow* header = list->GetHeaderWindow();
  ASSERT_TRUE(header);
  wxMouseEvent click(wxEVT_LEFT_DCLICK);
  click.SetEventObject(header);
  click.SetPosition(wxPoint(40, 5));  // inside the size column: nothing changes
  header->GetEventHandler()->ProcessEvent(click);
  EXPECT_EQ(list->GetColumnWidth(LIST_COLUMN_NAME), 20);
  click.SetPosition(wxPoint(21, 5));
  header->GetEventHandler()->ProcessEvent(click);
  EXPECT_GT(list->GetColumnWidth(LIST_COLUMN_NAME), list->GetTextExtent("B.txt").x + 16);
  EXPECT_LT(list->GetColumnWidth(LIST_COLUMN_NAME), list->FromDIP(120));
}

TEST_F(CExplorerTest, TheWindowLayoutComesBackFromTheSettingsButNotAPlaceOffTheScreens) {
  CWindowLayout kept;
  kept.m_rect = wxRect(40, 50, 700, 500);
  kept.m_bMaximized = true;
  kept.m_nSplitter = 260;
  kept.m_nStyle = wxLC_LIST;
  kept.m_vecColumnWidths = {100, 60, 90, 80, 150};
  {
    auto config = OpenSettingsFile();
    SaveWindowLayout(*config, kept);
  }
  auto config = OpenSettingsFile();
  CWindowLayout read = LoadWindowLayout(*config);
  EXPECT_EQ(read.m_rect, kept.m_rect);
  EXPECT_TRUE(read.m_bMaximized);
  read.m_bMaximized = false;  // a desktop without a window manager has no maximising

  Frame().ApplyWindowLayout(read);
  FlushEvents();
  const CWindowLayout now = Frame().GetWindowLayout();
  EXPECT_EQ(now.m_rect, kept.m_rect);
  EXPECT_EQ(now.m_nSplitter, 260);
  EXPECT_EQ(now.m_nStyle, wxLC_LIST);
  EXPECT_EQ(now.m_vecColumnWidths, kept.m_vecColumnWidths);

  read.m_rect = wxRect(5000, 4000, 600, 400);
  Frame().ApplyWindowLayout(read);
  FlushEvents();
  EXPECT_EQ(Frame().GetWindowLayout().m_rect, wxRect(40, 50, 600, 400));
  // A size kept from a larger screen fits the one the window is on now.
  const wxRect screen = wxDisplay(0u).GetClientArea();
  read.m_rect = wxRect(screen.x + 300, screen.y + 200, screen.width + 524, screen.height + 280);
  Frame().ApplyWindowLayout(read);
  FlushEvents();
  EXPECT_TRUE(screen.Contains(Frame().GetWindowLayout().m_rect)) << Frame().GetWindowLayout().m_rect.x;
  const std::vector<wxRect> two = {wxRect(0, 0, 1280, 1024), wxRect(1280, 0, 1920, 1080)};
  EXPECT_EQ(PlaceOnScreens(wxRect(300, 200, 1804, 1304), {two[0]}), wxRect(0, 0, 1280, 1024));
  EXPECT_EQ(PlaceOnScreens(wxRect(1200, 900, 1000, 800), two), wxRect(1280, 280, 1000, 800));
  EXPECT_EQ(PlaceOnScreens(wxRect(9000, 0, 1804, 1304), two), wxRect(wxDefaultCoord, wxDefaultCoord, 1280, 1024));
  EXPECT_TRUE(RectShowsOnScreens(wxRect(-650, 10, 700, 500), {wxRect(0, 0, 1280, 1024)}));
  EXPECT_FALSE(RectShowsOnScreens(wxRect(-690, 10, 700, 500), {wxRect(0, 0, 1280, 1024)}));
}

TEST_F(CExplorerTest, EachDisplayStyleLaysTheRowsOutAfreshAsItsOwn) {
  auto set = MakeExplorerTestSet();
  const std::string longName(60, 'n');
  Add(*static_cast<CFolderFileInfo*>(FindByPath(set.get(), "CD1\\docs")), TestFile(longName + ".txt", 1));
  UseSet(std::move(set));
  Settle();  // no fill of the tree's comes later
  List().FillList("CD1\\docs");
  CRowListCtrl* list = List().GetListCtrl();
  const long longRow = FindRowByName(List().GetRows(), longName + ".txt");
  auto item = [&](long row) { return list->GetRowRect(row); };
  // Icon styles: rows, left to right; a long label cut short, inside its
  // item. List: one line per item, the next below. Every switch lays out
  // anew (large, small, list, details, large, ...).
  for (int id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS, ID_VIEW_LARGEICON, ID_VIEW_LIST,
                 ID_VIEW_SMALLICON}) {
    Command(id);
    FlushEvents();
    const wxRect first = item(0), second = item(1);
    if (id == ID_VIEW_LARGEICON || id == ID_VIEW_SMALLICON) {
      EXPECT_EQ(second.y, first.y) << id;
      EXPECT_GE(second.x, first.GetRight()) << id;
      const wxRect longItem = item(longRow);
      const wxRect next = item(longRow + 1 < long(List().GetRows().size()) ? longRow + 1 : longRow - 1);
      EXPECT_FALSE(longItem.Intersects(next)) << id;
      EXPECT_TRUE(Utf8(list->GetRowLabel(longRow)).find("…") != std::string::npos) << id;
      if (id == ID_VIEW_LARGEICON)
        EXPECT_GT(first.height, 32 + 8);
      else
        EXPECT_GT(first.width, first.height);
    } else {
      EXPECT_LT(first.height, 32) << id;
      EXPECT_EQ(second.x, first.x) << id;
      EXPECT_GT(second.y, first.y) << id;
    }
  }
}

TEST_F(CExplorerTest, TheToolBarAndTheWindowIconAreDrawnFromVectorImages) {
  // Drawn anew for a doubled scale rather than blown up from 16 pixels.
  wxToolBarToolBase* tool = Frame().GetToolBar()->FindById(wxID_NEW);
  ASSERT_TRUE(tool);
  const wxBitmap twice = tool->GetNormalBitmapBundle().GetBitmap(wxSize(32, 32));
  EXPECT_EQ(twice.GetSize(), wxSize(32, 32));
  EXPECT_TRUE(twice.HasAlpha());
  EXPECT_GE(Frame().GetIcons().GetIconCount(), 5u);
  for (const char* name : {"quarrix", "file", "folder", "catalog", "catalog_set", "tool_about"})
    EXPECT_TRUE(wxBitmapBundle::FromSVG(SvgImageText(name), wxSize(16, 16)).IsOk()) << name;
}
