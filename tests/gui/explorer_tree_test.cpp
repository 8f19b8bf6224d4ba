// The tree view on a real set: the first fill, the settle rule, lazy
// expansion, keys, enabling, and revealing folders and found items.

#include <wx/utils.h>

#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/view_rules.h"

namespace {

using NameList = std::vector<std::string>;

NameList ChildTexts(wxTreeCtrl& tree, const wxTreeItemId& node) {
  NameList texts;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId child = tree.GetFirstChild(node, cookie); child.IsOk(); child = tree.GetNextChild(node, cookie))
    texts.push_back(Utf8(tree.GetItemText(child)));
  return texts;
}

}  // namespace

TEST_F(CExplorerTest, TheFirstFillListsTheCatalogsOnceTheSelectionSettles) {
  UseSet(MakeExplorerTestSet());
  const int fills = List().GetFillCount();
  wxTreeCtrl& tree = TreeCtrl();
  EXPECT_EQ(Utf8(tree.GetItemText(tree.GetRootItem())), "テスト");
  EXPECT_EQ(tree.GetSelection(), tree.GetRootItem());
  EXPECT_EQ(ChildTexts(tree, tree.GetRootItem()), (NameList{"Alpha", "CD1", "CD2"}));
  EXPECT_TRUE(tree.ItemHasChildren(Node("Alpha")));  // a button until expanded
  EXPECT_TRUE(Tree().IsSettlePending());
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(m_pManager->GetCurrentView(), &Tree());  // the tree is the first active pane

  Settle();
  EXPECT_EQ(List().GetFillCount(), fills + 1);
  EXPECT_FALSE(Tree().IsSettlePending());
  EXPECT_EQ(List().GetCurrentPath(), "");
  EXPECT_EQ(Names(), (NameList{"Alpha", "CD1", "CD2"}));
  EXPECT_EQ(ListStatus(), "");
}

TEST_F(CExplorerTest, TheSettleTimerItselfFillsTheList) {
  UseSet(MakeExplorerTestSet());
  Tree().RevealPath("CD2");
  // Waits for the timer, however long the machine takes; no time is checked.
  for (int round = 0; round < 1000 && Tree().IsSettlePending(); ++round) {
    wxMilliSleep(10);
    FlushEvents();
  }
  EXPECT_FALSE(Tree().IsSettlePending());
  EXPECT_EQ(List().GetCurrentPath(), "CD2");
}

TEST_F(CExplorerTest, QuickSelectionsFillTheListOnceWithTheLastOne) {
  UseSet(MakeExplorerTestSet());
  Settle();
  const int fills = List().GetFillCount();
  Tree().RevealPath("CD1");
  Tree().RevealPath("CD1\\docs");
  Tree().RevealPath("CD2");
  EXPECT_EQ(List().GetFillCount(), fills);
  EXPECT_EQ(List().GetCurrentPath(), "");
  Settle();
  Settle();  // nothing is pending any more
  EXPECT_EQ(List().GetFillCount(), fills + 1);
  EXPECT_EQ(List().GetCurrentPath(), "CD2");
  EXPECT_EQ(Names(), (NameList{"x.txt"}));
}

TEST_F(CExplorerTest, EveryExpansionBuildsTheFoldersAgainFromTheSet) {
  UseSet(MakeExplorerTestSet());
  wxTreeCtrl& tree = TreeCtrl();
  const wxTreeItemId cd2 = Node("CD2");
  EXPECT_TRUE(tree.ItemHasChildren(cd2));
  tree.Expand(cd2);
  EXPECT_FALSE(tree.ItemHasChildren(cd2));  // no folders: the button goes

  const wxTreeItemId cd1 = Node("CD1");
  tree.Expand(cd1);
  EXPECT_EQ(ChildTexts(tree, cd1), (NameList{"docs", "empty", "Photos"}));  // files never, case-blind order
  AddFolder(*static_cast<CFolderFileInfo*>(FindByPath(Doc().GetRoot(), "CD1")), TestFolder("Extra"));
  tree.Collapse(cd1);
  tree.Expand(cd1);
  EXPECT_EQ(ChildTexts(tree, cd1), (NameList{"docs", "empty", "Extra", "Photos"}));
}

TEST_F(CExplorerTest, LeftArrowCollapsesAnExpandedNodeThenSelectsItsParent) {
  UseSet(MakeExplorerTestSet());
  wxTreeCtrl& tree = TreeCtrl();
  const wxTreeItemId cd1 = Tree().RevealPath("CD1");
  ASSERT_TRUE(cd1.IsOk());
  tree.Expand(cd1);
  Key(&tree, WXK_LEFT);
  EXPECT_FALSE(tree.IsExpanded(cd1));
  EXPECT_EQ(tree.GetSelection(), cd1);
  Key(&tree, WXK_LEFT);
  EXPECT_EQ(tree.GetSelection(), tree.GetRootItem());
  Key(&tree, WXK_LEFT);  // the root has no parent
  EXPECT_EQ(tree.GetSelection(), tree.GetRootItem());
}

TEST_F(CExplorerTest, TheTreeDeletesOnlyCatalogsAndAfterwardsShowsTheRest) {
  UseSet(MakeExplorerTestSet());
  Settle();
  Frame().SetActiveView(&Tree());
  Tree().RevealPath("");
  EXPECT_FALSE(Enabled(ID_DELETE_CATALOG));
  Tree().RevealPath("CD1\\docs");
  EXPECT_FALSE(Enabled(ID_DELETE_CATALOG));
  EXPECT_TRUE(Enabled(ID_EDIT_NOTE));
  EXPECT_FALSE(Enabled(ID_OPEN_FILE));  // the tree has no open file
  EXPECT_TRUE(Enabled(ID_SEARCH));
  Tree().RevealPath("CD2");
  EXPECT_TRUE(Enabled(ID_DELETE_CATALOG));

  wxTEST_DIALOG(Command(ID_DELETE_CATALOG), CExpectMessageBox("カタログ CD2 を削除します\nよろしいですか？", wxID_OK));
  wxTreeCtrl& tree = TreeCtrl();
  EXPECT_EQ(ChildTexts(tree, tree.GetRootItem()), (NameList{"Alpha", "CD1"}));
  EXPECT_EQ(tree.GetSelection(), tree.GetRootItem());
  EXPECT_EQ(Names(), (NameList{"Alpha", "CD1"}));
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(CExplorerTest, TheTreesStatusAndCopiedLocationAreTheSelectedNodesPath) {
  UseSet(MakeExplorerTestSet());
  Frame().SetActiveView(&Tree());
  Tree().RevealPath("CD1\\docs");
  wxString text;
  EXPECT_TRUE(Tree().GetStatusText(text));
  EXPECT_EQ(Utf8(text), "CD1\\docs");
  Tree().RevealPath("");
  EXPECT_TRUE(Tree().GetStatusText(text));
  EXPECT_EQ(Utf8(text), "");
}

TEST_F(CExplorerTest, AFoundFileShowsItsFolderInTheTreeAndItsRowInTheListWithoutASecondFill) {
  UseSet(MakeExplorerTestSet());
  Settle();
  Tree().RevealPath("CD2");  // a fill of CD2 is pending
  const int fills = List().GetFillCount();
  std::unique_ptr<CItemSummary> found = Doc().GetRoot()->GetItemSummary("CD1\\docs\\c.doc");
  ASSERT_TRUE(found);
  CItemHint hint(HINT_GO_TO_ITEM, found.get());
  Doc().UpdateAllViews(nullptr, &hint);

  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1\\docs"));
  EXPECT_EQ(List().GetCurrentPath(), "CD1\\docs");
  EXPECT_EQ(List().GetFillCount(), fills + 1);
  EXPECT_FALSE(Tree().IsSettlePending());
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD1\\docs\\c.doc"}));
  EXPECT_EQ(List().GetListCtrl()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED),
            FindRowByName(List().GetRows(), "c.doc"));
  EXPECT_EQ(m_pManager->GetCurrentView(), &List());

  // A found folder is selected; the list follows after the delay.
  std::unique_ptr<CItemSummary> folder = Doc().GetRoot()->GetItemSummary("CD1\\Photos");
  CItemHint folderHint(HINT_GO_TO_ITEM, folder.get());
  Doc().UpdateAllViews(nullptr, &folderHint);
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1\\Photos"));
  Settle();
  EXPECT_EQ(Names(), (NameList{"p1.jpg"}));
}

TEST_F(CExplorerTest, ARevealStopsWhereThePathLeavesTheTree) {
  UseSet(MakeExplorerTestSet());
  Tree().RevealPath("CD1");
  EXPECT_FALSE(Tree().RevealPath("CD1\\nothing\\deeper").IsOk());
  EXPECT_FALSE(Tree().RevealPath("cd1").IsOk());  // names match exactly
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1"));
}

// The "*" key opens folders nearest first and stops at the bound: a chain
// thousands deep would hold the window for minutes.
TEST(ExpandAll, OpensNearestFirstAndStopsAtTheBound) {
  std::vector<int> opened;
  const auto binary = [&](int node) {  // 1 has 2 and 3, 2 has 4 and 5, ...
    opened.push_back(node);
    return node < 8 ? std::vector<int>{2 * node, 2 * node + 1} : std::vector<int>{};
  };
  EXPECT_TRUE(ExpandAllWithin(1, binary));
  EXPECT_EQ(opened, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  int deepest = 0;
  EXPECT_FALSE(ExpandAllWithin(1, [&](int node) {
    deepest = node;
    return std::vector<int>{node + 1};
  }));
  EXPECT_EQ(deepest, int(kMaxExpandAllNodes));
}

TEST_F(CExplorerTest, TheStarKeyOpensADeepTreeOnlyToTheBoundAndSaysSo) {
  auto set = MakeExplorerTestSet();
  CFolderFileInfo* folder = static_cast<CFolderFileInfo*>(FindByPath(set.get(), "CD2"));
  for (int i = 0; i < 30000; ++i) folder = AddFolder(*folder, TestFolder("d"));
  UseSet(std::move(set));
  wxTreeCtrl& tree = TreeCtrl();
  const wxTreeItemId cd2 = Tree().RevealPath("CD2");
  ASSERT_TRUE(cd2.IsOk());
  wxKeyEvent star(wxEVT_CHAR);
  star.m_keyCode = '*';
  star.m_uniChar = '*';
  star.SetEventObject(&tree);
  wxTEST_DIALOG(tree.GetEventHandler()->ProcessEvent(star),
                CExpectMessageBox("フォルダが多いため、近いものから 1,000 個までを展開しました", wxID_OK));
  std::uint32_t open = 0;
  wxTreeItemId node = cd2;
  for (; tree.IsExpanded(node); ++open) {
    wxTreeItemIdValue cookie;
    node = tree.GetFirstChild(node, cookie);
  }
  EXPECT_EQ(open, kMaxExpandAllNodes);
  EXPECT_EQ(Tree().NodePath(node).size(), std::string("CD2").size() + 2 * kMaxExpandAllNodes);
}
