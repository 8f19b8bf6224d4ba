#include "ui/left_view.h"

#include <wx/wupdlock.h>

#include <algorithm>

#include "dialogs/message_box.h"
#include "document/catalog_drop_target.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "model/text_format.h"
#include "ui/explorer_ap_view.h"
#include "ui/file_icon_cache.h"
#include "ui/list_rows.h"
#include "ui/main_frame.h"
#include "ui/path_rules.h"
#include "ui/view_rules.h"

namespace {

constexpr char kPlaceholder[] = "Dummy";

// The stored name of a catalog or folder node; its text is the name as the
// user sees it (DisplayName), which differs for bytes that are no text.
class CNodeName : public wxTreeItemData {
 public:
  explicit CNodeName(std::string name) : m_strName(std::move(name)) {}
  std::string m_strName;
};

std::string Utf8(const wxString& text) { return text.utf8_string(); }

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CLeftView, wxView);

wxBEGIN_EVENT_TABLE(CLeftView, wxView)
  EVT_MENU(ID_DELETE_CATALOG, CLeftView::OnDeleteCatalog)
  EVT_MENU(ID_UPDATE_CATALOG, CLeftView::OnUpdateCatalog)
  EVT_MENU(ID_VERIFY_CATALOG, CLeftView::OnVerifyCatalog)
  EVT_MENU(ID_SEARCH, CLeftView::OnSearch)
  EVT_MENU(ID_EDIT_NOTE, CLeftView::OnEditNote)
  EVT_MENU(ID_PROPERTIES, CLeftView::OnProperties)
  EVT_MENU(ID_COPY_LOCATION, CLeftView::OnCopyLocation)
  EVT_UPDATE_UI(ID_DELETE_CATALOG, CLeftView::OnUpdateDeleteCatalog)
  EVT_UPDATE_UI(ID_UPDATE_CATALOG, CLeftView::OnUpdateDeleteCatalog)
  EVT_UPDATE_UI(ID_VERIFY_CATALOG, CLeftView::OnUpdateDeleteCatalog)
  EVT_UPDATE_UI(ID_SEARCH, CLeftView::OnUpdateSearch)
  EVT_UPDATE_UI(ID_EDIT_NOTE, CLeftView::OnUpdateSelection)
  EVT_UPDATE_UI(ID_PROPERTIES, CLeftView::OnUpdateSelection)
  EVT_UPDATE_UI(ID_COPY_LOCATION, CLeftView::OnUpdateSelection)
wxEND_EVENT_TABLE()

CLeftView::CLeftView() {
  m_timerSettle.SetOwner(this);
  Bind(wxEVT_TIMER, &CLeftView::OnSettleTimer, this, m_timerSettle.GetId());
}

CLeftView::~CLeftView() { m_timerSettle.Stop(); }

CExplorerApDoc* CLeftView::Doc() const { return dynamic_cast<CExplorerApDoc*>(GetDocument()); }

CMainFrame* CLeftView::Frame() const { return dynamic_cast<CMainFrame*>(GetFrame()); }

CExplorerApView* CLeftView::ListView() const {
  CMainFrame* frame = Frame();
  return frame ? frame->GetRightPane() : nullptr;
}

bool CLeftView::OnCreate(wxDocument* doc, long) {
  CMainFrame* frame = CMainFrame::FindFor(doc ? doc->GetDocumentManager() : nullptr);
  return frame && frame->CreateClient(doc, this);
}

bool CLeftView::CreateControl(wxWindow* parent) {
  auto* tree = new wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                              wxTR_HAS_BUTTONS | wxTR_SINGLE | wxBORDER_THEME);
  m_pTree = tree;
  // Folders and catalogs have fixed images, there from the start; archives
  // add theirs as they are shown.
  tree->SetImages(CFileIconCache::Get().GetSmallImages());
  tree->SetDropTarget(new CCatalogDropTarget(Doc()));
  tree->Bind(wxEVT_TREE_SEL_CHANGED, &CLeftView::OnSelChanged, this);
  tree->Bind(wxEVT_TREE_ITEM_EXPANDING, &CLeftView::OnItemExpanding, this);
  tree->Bind(wxEVT_TREE_DELETE_ITEM, &CLeftView::OnDeleteItem, this);
  tree->Bind(wxEVT_KEY_DOWN, &CLeftView::OnKeyDown, this);
  // Before the control's own "*", which would open every folder below.
  tree->Bind(wxEVT_CHAR, &CLeftView::OnChar, this);
  tree->Bind(wxEVT_TREE_ITEM_RIGHT_CLICK, &CLeftView::OnRightClick, this);
  tree->Bind(wxEVT_CONTEXT_MENU, &CLeftView::OnContextMenu, this);
  tree->Bind(wxEVT_CHILD_FOCUS, &CLeftView::OnChildFocus, this);
  // A click activates the pane even where the desktop reports no focus
  // change.
  tree->Bind(wxEVT_LEFT_DOWN, &CLeftView::OnMouseDown, this);
  return true;
}

// ---------------------------------------------------------------------------
// Hints

void CLeftView::OnUpdate(wxView*, wxObject* hint) {
  wxTreeCtrl* tree = m_pTree.get();
  if (!tree) return;
  switch (HintNumberOf(hint)) {
    case HINT_INITIAL_UPDATE: InitialUpdate(); break;
    case HINT_REBUILD: Rebuild(); break;
    case HINT_SET_NAME:
      if (tree->GetRootItem().IsOk() && Doc())
        tree->SetItemText(tree->GetRootItem(), wxString::FromUTF8(Doc()->GetSetName()));
      OnChangeFilename();
      break;
    case HINT_GO_TO_FOLDER:
      if (const auto* item = dynamic_cast<const CItemHint*>(hint)) RevealPath(item->m_strPath);
      break;
    case HINT_GO_TO_ITEM:
      if (const auto* item = dynamic_cast<const CItemHint*>(hint); item && item->m_pItem)
        RevealFoundItem(*item->m_pItem);
      break;
    default: break;
  }
}

void CLeftView::InitialUpdate() {
  wxTreeCtrl* tree = m_pTree.get();
  CExplorerApDoc* doc = Doc();
  if (!tree || !doc) return;
  m_bSuppressSelChange = false;
  CancelPendingFill();
  tree->DeleteAllItems();
  const int image = doc->GetSetIconIndex();
  const wxTreeItemId root = tree->AddRoot(wxString::FromUTF8(doc->GetSetName()), image, image);
  FillChildren(root);
  tree->Expand(root);
  tree->SelectItem(root);
  // A new root may come selected already, which changes no selection; the
  // list is still to be filled from it.
  if (!m_bPending) {
    m_itemPending = root;
    m_bPending = true;
    m_timerSettle.StartOnce(kSettleMilliseconds);
  }
  OnChangeFilename();
  // The tree is the active pane until the user picks another.
  CMainFrame* frame = Frame();
  wxDocManager* manager = GetDocumentManager();
  if (frame && manager && !manager->GetCurrentView()) frame->SetActiveView(this);
}

void CLeftView::Rebuild() {
  wxTreeCtrl* tree = m_pTree.get();
  const wxTreeItemId root = tree ? tree->GetRootItem() : wxTreeItemId();
  if (!root.IsOk()) return;
  FillChildren(root);
  tree->Expand(root);
  tree->SelectItem(root);
  if (CExplorerApView* list = ListView()) list->FillList(NodePath(root));
}

void CLeftView::FillChildren(const wxTreeItemId& node) {
  wxTreeCtrl* tree = m_pTree.get();
  CExplorerApDoc* doc = Doc();
  if (!tree || !doc || !doc->GetRoot()) return;
  tree->DeleteChildren(node);
  const bool isRoot = node == tree->GetRootItem();
  CItemSummaryList records;
  doc->GetRoot()->ListChildren(isRoot ? std::string() : NodePath(node), records, true);
  // Children in the case-blind order of their names.
  std::vector<std::pair<std::string, const CItemSummary*>> sorted;
  sorted.reserve(records.size());
  for (const auto& record : records) sorted.emplace_back(FoldedSortKey(record->m_strName), record.get());
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [key, record] : sorted) {
    // An archive keeps its file's icon, so that it reads as the archive it is.
    const int image = isRoot ? doc->GetIconIndex(record->m_strName, false, true)
                             : doc->GetIconIndex(record->m_strName, !record->m_bArchive, false);
    // Its icon may be new to the cache since the tree took the images.
    if (image >= tree->GetImageCount()) tree->SetImages(CFileIconCache::Get().GetSmallImages());
    const wxTreeItemId child = tree->AppendItem(node, wxString::FromUTF8(DisplayName(record->m_strName)), image, image,
                                                new CNodeName(record->m_strName));
    if (!child.IsOk()) continue;
    // Every catalog and folder shows a button until it is first expanded.
    tree->AppendItem(child, kPlaceholder);
  }
}

// ---------------------------------------------------------------------------
// Paths and revealing

std::string CLeftView::NodeName(const wxTreeItemId& node) const {
  if (const auto* data = dynamic_cast<const CNodeName*>(m_pTree->GetItemData(node))) return data->m_strName;
  return Utf8(m_pTree->GetItemText(node));
}

std::string CLeftView::NodePath(const wxTreeItemId& node) const {
  wxTreeCtrl* tree = m_pTree.get();
  if (!tree || !node.IsOk()) return {};
  // Up to the root without recursion: a tree may be opened deep.
  std::vector<std::string> names;
  for (wxTreeItemId at = node; at.IsOk() && at != tree->GetRootItem(); at = tree->GetItemParent(at))
    names.push_back(NodeName(at));
  std::string path;
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (name != names.rbegin()) path += '\\';
    path += *name;
  }
  return path;
}

wxTreeItemId CLeftView::RevealPath(const std::string& path) {
  wxTreeCtrl* tree = m_pTree.get();
  if (!tree || !tree->GetRootItem().IsOk()) return wxTreeItemId();
  return RevealFrom(tree->GetRootItem(), path);
}

wxTreeItemId CLeftView::RevealFrom(const wxTreeItemId& start, const std::string& path) {
  wxTreeCtrl* tree = m_pTree.get();
  wxTreeItemId node = start;
  std::string_view rest = path;
  // A name at a time, without recursion: the path may be deep.
  while (!rest.empty()) {
    const std::size_t slash = rest.find('\\');
    const std::string head(rest.substr(0, slash));
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (!tree->ItemHasChildren(node)) return wxTreeItemId();
    // Expanding a collapsed node builds its children afresh.
    tree->Expand(node);
    wxTreeItemId next;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = tree->GetFirstChild(node, cookie); child.IsOk() && !next.IsOk();
         child = tree->GetNextChild(node, cookie))
      if (NodeName(child) == head) next = child;
    if (!next.IsOk()) return wxTreeItemId();
    node = next;
  }
  tree->SelectItem(node);
  tree->EnsureVisible(node);
  return node;
}

void CLeftView::RevealFoundItem(const CItemSummary& item) {
  if (item.m_bContainer || item.m_bArchive) {
    RevealPath(item.m_strPath);
    return;
  }
  std::string folder, name;
  if (!SplitAtLastBackslash(item.m_strPath, folder, name)) return;
  // The list is filled here and now; a fill still pending from an earlier
  // selection would replace it with another place.
  CancelPendingFill();
  CExplorerApView* list = ListView();
  m_bSuppressSelChange = true;
  RevealPath(folder);
  if (list) {
    list->FillList(folder);
    list->SelectRowByName(name);
  }
  m_bSuppressSelChange = false;
  if (CMainFrame* frame = Frame(); frame && list) frame->SetActiveView(list);
}

// ---------------------------------------------------------------------------
// Selection and the delayed fill

void CLeftView::OnSelChanged(wxTreeEvent& event) {
  event.Skip();
  if (m_bSuppressSelChange) return;
  m_itemPending = event.GetItem();
  m_bPending = true;
  m_timerSettle.StartOnce(kSettleMilliseconds);
}

void CLeftView::OnSettleTimer(wxTimerEvent&) { SettleSelection(); }

void CLeftView::SettleSelection() {
  if (!m_bPending) return;
  m_timerSettle.Stop();
  m_bPending = false;
  const std::string path = NodePath(m_itemPending);
  m_itemPending = wxTreeItemId();
  if (CExplorerApView* list = ListView()) list->FillList(path);
}

void CLeftView::CancelPendingFill() {
  m_timerSettle.Stop();
  m_bPending = false;
  m_itemPending = wxTreeItemId();
}

void CLeftView::OnDeleteItem(wxTreeEvent& event) {
  event.Skip();
  // A node that is gone cannot be listed; whatever is selected next
  // schedules its own fill.
  if (m_bPending && event.GetItem() == m_itemPending) CancelPendingFill();
}

void CLeftView::OnItemExpanding(wxTreeEvent& event) {
  // Every expansion builds the children again from the set.
  FillChildren(event.GetItem());
  event.Allow();
}

// ---------------------------------------------------------------------------
// Keys, mouse, focus

wxPrintout* CLeftView::OnCreatePrintout() {
  CExplorerApView* list = ListView();
  return list ? list->OnCreatePrintout() : nullptr;
}

void CLeftView::OnKeyDown(wxKeyEvent& event) {
  wxTreeCtrl* tree = m_pTree.get();
  switch (event.GetKeyCode()) {
    case WXK_TAB:
      if (CMainFrame* frame = Frame())
        if (CExplorerApView* list = ListView()) {
          frame->SetActiveView(list);
          list->SelectRowOnEntry();
        }
      return;
    case WXK_LEFT: {
      const wxTreeItemId selected = tree ? tree->GetSelection() : wxTreeItemId();
      if (!selected.IsOk()) return;
      if (tree->ItemHasChildren(selected) && tree->IsExpanded(selected)) {
        tree->Collapse(selected);
      } else {
        const wxTreeItemId parent = tree->GetItemParent(selected);
        if (parent.IsOk()) tree->SelectItem(parent);
      }
      return;
    }
    case WXK_MULTIPLY:
    case WXK_NUMPAD_MULTIPLY:
      if (tree) ExpandAllBelow(tree->GetSelection());
      return;
    default: event.Skip();
  }
}

void CLeftView::OnChar(wxKeyEvent& event) {
  if (event.GetUnicodeKey() != '*') {
    event.Skip();
    return;
  }
  if (wxTreeCtrl* tree = m_pTree.get()) ExpandAllBelow(tree->GetSelection());
}

void CLeftView::ExpandAllBelow(const wxTreeItemId& node) {
  wxTreeCtrl* tree = m_pTree.get();
  if (!tree || !node.IsOk()) return;
  bool whole = true;
  {
    wxWindowUpdateLocker frozen(tree);
    whole = ExpandAllWithin(node, [tree](const wxTreeItemId& open) {
      std::vector<wxTreeItemId> below;
      if (!tree->ItemHasChildren(open)) return below;
      tree->Expand(open);  // builds its children from the set
      wxTreeItemIdValue cookie;
      for (wxTreeItemId child = tree->GetFirstChild(open, cookie); child.IsOk();
           child = tree->GetNextChild(open, cookie))
        if (tree->ItemHasChildren(child)) below.push_back(child);
      return below;
    });
  }
  if (!whole)
    AppMessageBox("フォルダが多いため、近いものから " + FormatCount(kMaxExpandAllNodes) + " 個までを展開しました",
                  wxOK | wxICON_INFORMATION, Frame());
}

void CLeftView::OnRightClick(wxTreeEvent& event) {
  if (CMainFrame* frame = Frame()) frame->SetActiveView(this);
  if (wxTreeCtrl* tree = m_pTree.get(); tree && event.GetItem().IsOk() && tree->GetSelection() != event.GetItem())
    tree->SelectItem(event.GetItem());
  ShowContextMenu();
}

void CLeftView::OnContextMenu(wxContextMenuEvent&) {
  if (CMainFrame* frame = Frame()) frame->SetActiveView(this);
  ShowContextMenu();
}

void CLeftView::ShowContextMenu() {
  if (CMainFrame* frame = Frame()) frame->ShowContextMenu(wxGetMousePosition());
}

void CLeftView::OnMouseDown(wxMouseEvent& event) {
  Activate(true);
  event.Skip();
}

void CLeftView::OnChildFocus(wxChildFocusEvent& event) {
  Activate(true);
  event.Skip();
}

void CLeftView::OnChangeFilename() {
  if (CMainFrame* frame = Frame()) frame->ShowDocumentTitle(GetDocument());
}

bool CLeftView::GetStatusText(wxString& text) {
  wxTreeCtrl* tree = m_pTree.get();
  const wxTreeItemId selected = tree ? tree->GetSelection() : wxTreeItemId();
  if (!selected.IsOk()) return false;
  text = wxString::FromUTF8(DisplayName(NodePath(selected)));
  return true;
}

// ---------------------------------------------------------------------------
// Commands

void CLeftView::OnDeleteCatalog(wxCommandEvent&) {
  wxTreeCtrl* tree = m_pTree.get();
  CExplorerApDoc* doc = Doc();
  const wxTreeItemId selected = tree ? tree->GetSelection() : wxTreeItemId();
  if (!doc || !selected.IsOk() || tree->GetItemParent(selected) != tree->GetRootItem()) return;
  doc->DeleteCatalog(NodeName(selected));
}

std::string CLeftView::SelectedCatalog() const {
  wxTreeCtrl* tree = m_pTree.get();
  const wxTreeItemId selected = tree ? tree->GetSelection() : wxTreeItemId();
  if (!selected.IsOk() || tree->GetItemParent(selected) != tree->GetRootItem()) return {};
  return NodeName(selected);
}

void CLeftView::OnUpdateCatalog(wxCommandEvent&) {
  CExplorerApDoc* doc = Doc();
  const std::string name = SelectedCatalog();
  if (!doc || name.empty()) return;
  // The rebuild that follows an update selects the root; go back.
  if (doc->UpdateCatalog(name)) RevealPath(name);
}

void CLeftView::OnVerifyCatalog(wxCommandEvent&) {
  const std::string name = SelectedCatalog();
  if (CExplorerApDoc* doc = Doc(); doc && !name.empty()) doc->VerifyCatalog(name);
}

void CLeftView::OnSearch(wxCommandEvent&) {
  wxTreeCtrl* tree = m_pTree.get();
  const std::string start = tree ? NodePath(tree->GetSelection()) : std::string();
  if (CExplorerApDoc* doc = Doc()) doc->SearchFrom(start);
}

void CLeftView::OnEditNote(wxCommandEvent&) {
  wxTreeCtrl* tree = m_pTree.get();
  if (CExplorerApDoc* doc = Doc(); doc && tree && tree->GetSelection().IsOk())
    doc->EditNote(NodePath(tree->GetSelection()));
}

void CLeftView::OnProperties(wxCommandEvent&) {
  wxTreeCtrl* tree = m_pTree.get();
  if (CExplorerApDoc* doc = Doc(); doc && tree && tree->GetSelection().IsOk())
    doc->ShowProperties(NodePath(tree->GetSelection()));
}

void CLeftView::OnCopyLocation(wxCommandEvent&) {
  wxTreeCtrl* tree = m_pTree.get();
  if (CExplorerApDoc* doc = Doc(); doc && tree && tree->GetSelection().IsOk())
    doc->CopyTextToClipboard(LocationText({NodePath(tree->GetSelection())}));
}

void CLeftView::OnUpdateDeleteCatalog(wxUpdateUIEvent& event) {
  wxTreeCtrl* tree = m_pTree.get();
  const wxTreeItemId selected = tree ? tree->GetSelection() : wxTreeItemId();
  event.Enable(
      TreeCanDeleteCatalog(selected.IsOk(), selected.IsOk() && tree->GetItemParent(selected) == tree->GetRootItem()));
}

void CLeftView::OnUpdateSelection(wxUpdateUIEvent& event) {
  wxTreeCtrl* tree = m_pTree.get();
  event.Enable(tree && tree->GetSelection().IsOk());
}

void CLeftView::OnUpdateSearch(wxUpdateUIEvent& event) { event.Enable(true); }
