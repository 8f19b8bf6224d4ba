// Names holding bytes that are no text: shown as «E9» in the tree, the list,
// the status pane and the information sheet, found when typed that way, and
// stored unchanged.

#include "dialogs/prop_info_page.h"
#include "dialogs/prop_info_sheet.h"
#include "document/explorer_ap_doc.h"
#include "model/item_summary.h"
#include "platform/cp932_codec.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

TEST_F(CExplorerTest, BytesThatAreNoTextShowAsHexEverywhereAndCanBeSearchedForSo) {
  const std::string folder = EscapeBytes("caf\xE9", false), file = EscapeBytes("\xFF\xFE.txt", false);
  auto set = MakeExplorerTestSet();
  auto* cd2 = static_cast<CFolderFileInfo*>(FindByPath(set.get(), "CD2"));
  Add(*AddFolder(*cd2, TestFolder(folder)), TestFile(file, 5));
  UseSet(std::move(set));
  Settle();

  const wxTreeItemId node = Tree().RevealPath("CD2\\" + folder);
  ASSERT_TRUE(node.IsOk());
  EXPECT_EQ(Utf8(TreeCtrl().GetItemText(node)), "caf«E9»");
  EXPECT_EQ(Tree().NodePath(node), "CD2\\" + folder);  // the stored name
  List().FillList("CD2\\" + folder);
  EXPECT_EQ(Names(), (std::vector<std::string>{"«FF»«FE».txt"}));
  SelectRows({file});
  EXPECT_EQ(ListStatus(), "CD2\\caf«E9»\\«FF»«FE».txt");
  EXPECT_EQ(List().SelectedPaths(), (std::vector<std::string>{"CD2\\" + folder + "\\" + file}));

  CPropInfoData info;
  Doc().GetRoot()->GetSelectionInfo({"CD2\\" + folder + "\\" + file}, info);
  CPropInfoSheet sheet("プロパティ", &info);
  EXPECT_EQ(Utf8(XRCCTRL(*sheet.GetInfoPage(), "ID_NAME", wxTextCtrl)->GetValue()), "«FF»«FE».txt");
  EXPECT_EQ(Utf8(XRCCTRL(*sheet.GetInfoPage(), "ID_PATH", wxTextCtrl)->GetValue()), "CD2\\caf«E9»\\«FF»«FE».txt");

  // The search takes the form the user sees and types.
  CItemSummaryList files, folders;
  EXPECT_EQ(Doc().GetRoot()->FindByName("", "«ff»«fe»", false, false, files), 1);
  EXPECT_EQ(Doc().GetRoot()->FindByName("", "caf«E9»", true, false, folders), 1);
}
