#include "tests/gui/explorer_test_util.h"

#include "document/doc_manager.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/path_rules.h"

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t k2001 = 978307200;  // 2001-01-01 00:00 UTC

}  // namespace

std::unique_ptr<CRootFileInfo> MakeExplorerTestSet() {
  auto set = std::make_unique<CRootFileInfo>("テスト");
  set->AppendCatalog(TestCatalog("CD2"), 0);
  CDriveFileInfo* cd1 = set->AppendCatalog(TestCatalog("CD1"), 0);
  set->AppendCatalog(TestCatalog("Alpha"), 0);

  CFolderFileInfo* docs = AddFolder(*cd1, TestFolder("docs", k2001));
  Add(*docs, TestFile("c.doc", 900 * 1024, k2001 + 3 * kDay));
  Add(*docs, TestFile("B.txt", 2 * 1024 * 1024, k2001 + 2 * kDay));
  Add(*docs, TestFile("a.txt", 100, k2001 + kDay));
  Add(*docs, TestFile("d.txt", 100, k2001 + kDay + 30));  // the same minute as a.txt
  AddFolder(*docs, TestFolder("old", k2001));
  Add(*cd1, TestFile("zeta.bin", 10, k2001));
  AddFolder(*cd1, TestFolder("Photos", k2001));
  Add(*cd1, TestFile("readme.txt", 10, k2001));
  AddFolder(*cd1, TestFolder("empty", k2001));
  CFolderFileInfo* photos = static_cast<CFolderFileInfo*>(FindByPath(cd1, "Photos"));
  Add(*photos, TestFile("p1.jpg", 5000, k2001));

  Add(*static_cast<CFolderFileInfo*>(FindByPath(set.get(), "CD2")), TestFile("x.txt", 1, k2001));
  return set;
}

CExplorerTest::CExplorerTest() : m_pManager(std::make_unique<CQuarrixDocManager>()) {
  CreateSetTemplate(m_pManager.get(), CLASSINFO(CLeftView));
  m_pFrame = new CMainFrame(m_pManager.get());
  m_pFrame->Show();
  EXPECT_TRUE(m_pManager->CreateDocument(wxString(), wxDOC_NEW));
  FlushEvents();
}

CExplorerTest::~CExplorerTest() {
  // The set is dropped unsaved; the views go with the document, then the
  // window.
  if (CExplorerApDoc* doc = m_pManager->GetDocument()) doc->Modify(false);
  m_pManager->Clear(true);
  m_pFrame->Destroy();
  FlushEvents();
  m_pManager.reset();
}

void CExplorerTest::UseSet(std::unique_ptr<CRootFileInfo> set) {
  Doc().m_pRoot = std::move(set);
  Doc().m_nSortColumn = 0;
  Doc().m_bSortAscending = true;
  Doc().UpdateAllViews();
}

void CExplorerTest::Settle() { Tree().SettleSelection(); }

CExplorerApDoc& CExplorerTest::Doc() { return *m_pManager->GetDocument(); }
CLeftView& CExplorerTest::Tree() { return *m_pFrame->GetLeftPane(); }
CExplorerApView& CExplorerTest::List() { return *m_pFrame->GetRightPane(); }
wxTreeCtrl& CExplorerTest::TreeCtrl() { return *Tree().GetTreeCtrl(); }

wxTreeItemId CExplorerTest::Node(const std::string& path) {
  wxTreeCtrl& tree = TreeCtrl();
  wxTreeItemId node = tree.GetRootItem();
  std::string rest = path;
  while (node.IsOk() && !rest.empty()) {
    std::string head, tail;
    SplitAtFirstBackslash(rest, head, tail);
    tree.Expand(node);
    wxTreeItemIdValue cookie;
    wxTreeItemId found;
    for (wxTreeItemId child = tree.GetFirstChild(node, cookie); child.IsOk(); child = tree.GetNextChild(node, cookie))
      if (Utf8(tree.GetItemText(child)) == head) found = child;
    node = found;
    rest = tail;
  }
  return node;
}

std::vector<std::string> CExplorerTest::Names() {
  std::vector<std::string> names;
  CRowListCtrl* list = List().GetListCtrl();
  for (long i = 0; i < list->GetRowCount(); ++i) names.push_back(Utf8(list->GetRowLabel(i)));
  return names;
}

void CExplorerTest::SelectRows(const std::vector<std::string>& names) {
  std::vector<long> rows;
  for (const std::string& name : names) {
    rows.push_back(FindRowByName(List().GetRows(), name));
    ASSERT_GE(rows.back(), 0) << name;
  }
  List().GetListCtrl()->SelectRows(rows, -1);
  Frame().SetActiveView(&List());
}

std::string CExplorerTest::ListStatus() {
  wxString text;
  EXPECT_TRUE(List().GetStatusText(text));
  return Utf8(text);
}

namespace {

wxUpdateUIEvent UpdateEvent(wxWindow* frame, int id) {
  wxUpdateUIEvent event(id);
  event.SetEventObject(frame);
  frame->ProcessWindowEvent(event);
  return event;
}

}  // namespace

bool CExplorerTest::Enabled(int id) {
  const wxUpdateUIEvent event = UpdateEvent(m_pFrame, id);
  return !event.GetSetEnabled() || event.GetEnabled();
}

bool CExplorerTest::Checked(int id) {
  const wxUpdateUIEvent event = UpdateEvent(m_pFrame, id);
  return event.GetSetChecked() && event.GetChecked();
}

void CExplorerTest::Command(int id) {
  wxCommandEvent event(wxEVT_MENU, id);
  event.SetEventObject(m_pFrame);
  m_pFrame->ProcessWindowEvent(event);
}

void CExplorerTest::Key(wxWindow* window, int keyCode, int modifiers) {
  wxKeyEvent event(wxEVT_KEY_DOWN);
  event.m_keyCode = keyCode;
  event.SetAltDown(modifiers & wxMOD_ALT);
  event.SetControlDown(modifiers & wxMOD_CONTROL);
  event.SetShiftDown(modifiers & wxMOD_SHIFT);
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}
