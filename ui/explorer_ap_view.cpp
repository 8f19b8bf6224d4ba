#include "ui/explorer_ap_view.h"

#include <wx/dnd.h>

#include "dialogs/message_box.h"
#include "document/catalog_drop_target.h"
#include "document/cataloged_file_opener.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "model/text_format.h"
#include "ui/file_icon_cache.h"
#include "ui/icon_grid.h"
#include "ui/left_view.h"
#include "ui/list_printout.h"
#include "ui/main_frame.h"
#include "ui/path_rules.h"

wxIMPLEMENT_DYNAMIC_CLASS(CExplorerApView, wxView);

wxBEGIN_EVENT_TABLE(CExplorerApView, wxView)
  EVT_MENU(ID_DELETE_CATALOG, CExplorerApView::OnDeleteCatalog)
  EVT_MENU(ID_UPDATE_CATALOG, CExplorerApView::OnUpdateCatalog)
  EVT_MENU(ID_VERIFY_CATALOG, CExplorerApView::OnVerifyCatalog)
  EVT_MENU(ID_EDIT_NOTE, CExplorerApView::OnEditNote)
  EVT_MENU(ID_SEARCH, CExplorerApView::OnSearch)
  EVT_MENU(ID_PROPERTIES, CExplorerApView::OnProperties)
  EVT_MENU(ID_COPY_LOCATION, CExplorerApView::OnCopyLocation)
  EVT_MENU(ID_OPEN_FILE, CExplorerApView::OnOpenFile)
  EVT_UPDATE_UI(ID_DELETE_CATALOG, CExplorerApView::OnUpdateDeleteCatalog)
  EVT_UPDATE_UI(ID_UPDATE_CATALOG, CExplorerApView::OnUpdateUpdateCatalog)
  EVT_UPDATE_UI(ID_VERIFY_CATALOG, CExplorerApView::OnUpdateUpdateCatalog)
  EVT_UPDATE_UI(ID_EDIT_NOTE, CExplorerApView::OnUpdateSelection)
  EVT_UPDATE_UI(ID_SEARCH, CExplorerApView::OnUpdateSearch)
  EVT_UPDATE_UI(ID_PROPERTIES, CExplorerApView::OnUpdateSelection)
  EVT_UPDATE_UI(ID_COPY_LOCATION, CExplorerApView::OnUpdateSelection)
  EVT_UPDATE_UI(ID_OPEN_FILE, CExplorerApView::OnUpdateOpenFile)
wxEND_EVENT_TABLE()

CExplorerApView::CExplorerApView() = default;

CExplorerApView::~CExplorerApView() {
  // The control may outlive the view inside the frame: it must not read
  // the rows that go with the view. (Its bindings to the view end with the
  // view.)
  if (CRowListCtrl* list = m_pList.get()) {
    list->DeleteAllItems();
    list->SetRows(nullptr);
  }
}

CExplorerApDoc* CExplorerApView::Doc() const { return dynamic_cast<CExplorerApDoc*>(GetDocument()); }

CMainFrame* CExplorerApView::Frame() const { return dynamic_cast<CMainFrame*>(GetFrame()); }

bool CExplorerApView::CreateControl(wxWindow* parent) {
  auto* list = new CRowListCtrl(parent, &m_vecRows);
  m_pList = list;
  UpdateImages();
  list->SetDropTarget(new CCatalogDropTarget(Doc()));
  list->GetIconGrid()->SetDropTarget(new CCatalogDropTarget(Doc()));
  list->Bind(wxEVT_LIST_COL_CLICK, &CExplorerApView::OnColumnClick, this);
  list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CExplorerApView::OnItemActivated, this);
  list->Bind(wxEVT_KEY_DOWN, &CExplorerApView::OnKeyDown, this);
  list->Bind(wxEVT_CONTEXT_MENU, &CExplorerApView::OnContextMenu, this);
  list->Bind(wxEVT_LIST_BEGIN_DRAG, &CExplorerApView::OnBeginDrag, this);
  list->Bind(wxEVT_CHILD_FOCUS, &CExplorerApView::OnChildFocus, this);
  // A click activates the pane even where the desktop reports no focus
  // change (the rows and the header are windows of their own).
  list->Bind(wxEVT_LEFT_DOWN, &CExplorerApView::OnMouseDown, this);
  list->Bind(wxEVT_RIGHT_DOWN, &CExplorerApView::OnMouseDown, this);
  for (wxWindow* child : list->GetChildren()) {
    child->Bind(wxEVT_LEFT_DOWN, &CExplorerApView::OnMouseDown, this);
    child->Bind(wxEVT_RIGHT_DOWN, &CExplorerApView::OnMouseDown, this);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Hints

void CExplorerApView::OnUpdate(wxView*, wxObject* hint) {
  switch (HintNumberOf(hint)) {
    case HINT_INITIAL_UPDATE: InitialUpdate(); break;
    case HINT_NOTE_CHANGED:
      if (const auto* note = dynamic_cast<const CNoteHint*>(hint)) OnNoteChanged(note->m_strPath, note->m_strNote);
      break;
    case HINT_SORT_CHANGED: SortRows(); break;
    case HINT_SELECT_ALL: SelectAllRows(); break;
    default:
      // The tree refills the list for the others.
      break;
  }
}

void CExplorerApView::InitialUpdate() {
  // A new or opened set: details style, the columns as they first were, no
  // rows until the tree's first fill.
  m_vecRows.clear();
  m_strCurrentPath.clear();
  if (CRowListCtrl* list = m_pList.get()) {
    list->SetDisplayStyle(wxLC_REPORT);
    list->ResetColumns();
    list->ShowRows();
  }
}

void CExplorerApView::OnNoteChanged(const std::string& path, const std::string& note) {
  std::string folder, name;
  SplitAtLastBackslash(path, folder, name);
  if (folder != m_strCurrentPath) return;
  const long row = FindRowByName(m_vecRows, name);
  if (row < 0) return;
  m_vecRows[std::size_t(row)].m_strNote = note;
  if (CRowListCtrl* list = m_pList.get()) list->RefreshRow(row);
}

void CExplorerApView::SelectAllRows() {
  CRowListCtrl* list = m_pList.get();
  if (!list) return;
  std::vector<long> all(m_vecRows.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = long(i);
  if (!all.empty()) list->SelectRows(all, all.back());
  if (CMainFrame* frame = Frame()) frame->SetActiveView(this);
}

// ---------------------------------------------------------------------------
// Filling and sorting

void CExplorerApView::FillList(const std::string& path) {
  m_strCurrentPath = path;
  ++m_nFillCount;
  CExplorerApDoc* doc = Doc();
  if (!doc || !doc->GetRoot()) return;
  const bool large = GetDisplayStyle() == wxLC_ICON;
  std::vector<CListRow> rows;
  auto imageFor = [doc, large](const CItemSummary& record, bool setLevel) {
    if (setLevel) return doc->GetIconIndex(record.m_strName, false, true, large);
    return doc->GetIconIndex(record.m_strName, record.m_bContainer, false, large);
  };
  if (!BuildListRows(*doc->GetRoot(), path, imageFor, rows)) return;
  UpdateImages();  // the rows may have brought new extensions
  SortListRows(rows, doc->m_nSortColumn, doc->m_bSortAscending);
  m_vecRows = std::move(rows);
  if (CRowListCtrl* list = m_pList.get()) list->ShowRows();
  ShowSortArrow();
}

void CExplorerApView::ShowSortArrow() {
  CExplorerApDoc* doc = Doc();
  if (CRowListCtrl* list = m_pList.get(); list && doc) list->ShowSortColumn(doc->m_nSortColumn, doc->m_bSortAscending);
}

void CExplorerApView::SortRows() {
  CExplorerApDoc* doc = Doc();
  CRowListCtrl* list = m_pList.get();
  if (!doc || !list) return;
  // The selection and the focus stay with their rows.
  std::vector<char> wasSelected(m_vecRows.size(), 0);
  for (long row : list->GetSelectedRows())
    if (std::size_t(row) < wasSelected.size()) wasSelected[std::size_t(row)] = 1;
  const long oldFocus = list->GetFocusedRow();
  const std::vector<std::size_t> order = SortListRows(m_vecRows, doc->m_nSortColumn, doc->m_bSortAscending);
  std::vector<long> selected;
  long focus = -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (wasSelected[order[i]]) selected.push_back(long(i));
    if (long(order[i]) == oldFocus) focus = long(i);
  }
  list->RefreshRows();
  list->SelectRows(selected, focus);
  ShowSortArrow();
}

void CExplorerApView::UpdateImages() {
  CRowListCtrl* list = m_pList.get();
  const CFileIconCache& icons = CFileIconCache::Get();
  if (!list || icons.GetSmallImages().size() == m_nImagesShown) return;
  list->SetRowImages(icons.GetSmallImages(), icons.GetLargeImages());
  m_nImagesShown = icons.GetSmallImages().size();
}

long CExplorerApView::GetDisplayStyle() const {
  CRowListCtrl* list = m_pList.get();
  return list ? list->GetDisplayStyle() : wxLC_REPORT;
}

void CExplorerApView::SetDisplayStyle(long style) {
  if (CRowListCtrl* list = m_pList.get()) list->SetDisplayStyle(style);
}

void CExplorerApView::SelectRowByName(const std::string& name) {
  CRowListCtrl* list = m_pList.get();
  const long row = FindRowByName(m_vecRows, name);
  if (!list || row < 0) return;
  std::vector<long> rows = list->GetSelectedRows();
  rows.push_back(row);
  list->SelectRows(rows, row);
  list->ShowRow(row);
}

std::string CExplorerApView::RowFullPath(long row) const {
  if (row < 0 || std::size_t(row) >= m_vecRows.size()) return {};
  return ChildPath(m_strCurrentPath, m_vecRows[std::size_t(row)].m_strName);
}

// ---------------------------------------------------------------------------
// Selection

CListSelection CExplorerApView::GetSelectionFacts() const {
  CListSelection facts;
  facts.m_bSetLevel = m_strCurrentPath.empty();
  if (CRowListCtrl* list = m_pList.get()) {
    for (long row : list->GetSelectedRows()) {
      if (std::size_t(row) >= m_vecRows.size()) continue;
      ++facts.m_nSelected;
      const CListRow& r = m_vecRows[std::size_t(row)];
      if (r.m_bFolder || r.m_bCatalog || r.m_bArchive) ++facts.m_nContainers;
    }
  }
  return facts;
}

std::vector<std::string> CExplorerApView::SelectedPaths() const {
  std::vector<std::string> paths;
  if (CRowListCtrl* list = m_pList.get())
    for (long row : list->GetSelectedRows())
      if (std::size_t(row) < m_vecRows.size()) paths.push_back(RowFullPath(row));
  return paths;
}

bool CExplorerApView::GetStatusText(wxString& text) {
  CRowListCtrl* list = m_pList.get();
  const int selected = list ? int(list->GetSelectedCount()) : 0;
  std::string one;
  if (selected == 1) one = RowFullPath(list->GetFirstSelectedRow());
  text = wxString::FromUTF8(DisplayName(ListStatusText(m_strCurrentPath, selected, one)));
  return true;
}

// ---------------------------------------------------------------------------
// Opening

void CExplorerApView::OpenFolderRow(long row) {
  if (row < 0 || std::size_t(row) >= m_vecRows.size()) return;
  const CListRow& r = m_vecRows[std::size_t(row)];
  if (!r.m_bFolder && !r.m_bCatalog && !r.m_bArchive) return;
  const std::string path = RowFullPath(row);
  FillList(path);
  // The tree selects the same folder; its own fill follows after the usual
  // delay.
  CItemHint hint(HINT_GO_TO_FOLDER, path);
  if (wxDocument* doc = GetDocument()) doc->UpdateAllViews(this, &hint);
}

void CExplorerApView::GoToParentFolder() {
  std::string parent, child;
  if (!ListParentPlace(m_strCurrentPath, parent, child)) return;
  CItemHint hint(HINT_GO_TO_FOLDER, parent);
  if (wxDocument* doc = GetDocument()) doc->UpdateAllViews(this, &hint);
  // The tree's fill of the folder it now selects is done at once: after its
  // usual delay it would take away the selection made below.
  if (CMainFrame* frame = Frame())
    if (CLeftView* tree = frame->GetLeftPane()) tree->SettleSelection();
  if (m_strCurrentPath != parent) FillList(parent);
  SelectRowByName(child);
}

void CExplorerApView::SelectRowOnEntry() {
  CRowListCtrl* list = m_pList.get();
  if (!list) return;
  const long row = RowToSelectOnEntry(list->GetSelectedCount(), list->GetFocusedRow(), list->GetRowCount());
  if (row < 0) return;
  list->SelectRows({row}, row);
  list->ShowRow(row);
}

void CExplorerApView::OnItemActivated(wxListEvent& event) {
  // Enter never gets here (OnKeyDown takes it): this is a double click on a
  // row.
  const long row = event.GetIndex();
  event.Skip();
  if (row < 0 || std::size_t(row) >= m_vecRows.size()) return;
  const CListRow& r = m_vecRows[std::size_t(row)];
  if (r.m_bFolder || r.m_bCatalog || r.m_bArchive) {
    OpenFolderRow(row);
  } else if (CExplorerApDoc* doc = Doc()) {
    OpenCatalogedFile(*doc, RowFullPath(row));
  }
}

void CExplorerApView::OnEnter() {
  CRowListCtrl* list = m_pList.get();
  CExplorerApDoc* doc = Doc();
  if (!list || !doc) return;
  switch (ClassifyEnter(GetSelectionFacts())) {
    case EEnterAction::OpenFiles:
      for (const std::string& path : SelectedPaths()) OpenCatalogedFile(*doc, path);
      break;
    case EEnterAction::OpenFolder: OpenFolderRow(list->GetFirstSelectedRow()); break;
    case EEnterAction::None: break;
  }
}

void CExplorerApView::OnKeyDown(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_TAB:
      if (CMainFrame* frame = Frame())
        if (CLeftView* tree = frame->GetLeftPane()) frame->SetActiveView(tree);
      return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: OnEnter(); return;
    case WXK_BACK:
      if (event.GetModifiers() != wxMOD_NONE) break;
      GoToParentFolder();
      return;
    case WXK_UP:
      if (event.GetModifiers() != wxMOD_ALT) break;
      GoToParentFolder();
      return;
    default: break;
  }
  event.Skip();
}

void CExplorerApView::OnColumnClick(wxListEvent& event) {
  CExplorerApDoc* doc = Doc();
  const int column = event.GetColumn();
  if (!doc || column < 0) return;
  if (column == doc->m_nSortColumn) doc->m_bSortAscending = !doc->m_bSortAscending;
  doc->m_nSortColumn = column;
  SortRows();
}

void CExplorerApView::OnContextMenu(wxContextMenuEvent& event) {
  CMainFrame* frame = Frame();
  if (!frame) return;
  // Any click makes its pane the active one, so the menu's commands act on
  // this list.
  frame->SetActiveView(this);
  wxPoint point = event.GetPosition();
  if (point == wxDefaultPosition) point = wxGetMousePosition();  // from the keyboard
  frame->ShowContextMenu(point);
}

void CExplorerApView::OnMouseDown(wxMouseEvent& event) {
  Activate(true);
  // The rows' window passes its clicks on to the list as well; they are
  // taken once, from the rows' window, in its coordinates.
  CRowListCtrl* list = m_pList.get();
  if (event.RightDown() && list && event.GetEventObject() == list->GetRowsWindow())
    list->SelectRowForRightClick(event.GetPosition());
  event.Skip();
}

void CExplorerApView::OnChildFocus(wxChildFocusEvent& event) {
  Activate(true);
  event.Skip();
}

// ---------------------------------------------------------------------------
// Printing

wxPrintout* CExplorerApView::OnCreatePrintout() {
  CRowListCtrl* list = m_pList.get();
  CExplorerApDoc* doc = Doc();
  if (!list || !doc) return nullptr;
  // The names alone in the styles without columns, as wide as a name may
  // want on paper.
  constexpr int kNamesWidth = 480;
  const bool details = GetDisplayStyle() == wxLC_REPORT;
  std::vector<std::string> headings;
  for (int column = 0; column < (details ? int(LIST_COLUMN_COUNT) : 1); ++column)
    headings.push_back(CRowListCtrl::ColumnHeading(column));
  const std::vector<int> widths = details ? list->GetColumnWidths() : std::vector<int>{kNamesWidth};
  const std::string title = m_strCurrentPath.empty() ? doc->GetSetName() : m_strCurrentPath;
  return new CListPrintout(MakeListPrintData(title, m_vecRows, headings, widths));
}

// ---------------------------------------------------------------------------
// Dragging files out

std::vector<std::string> CExplorerApView::DragFilePaths() {
  std::vector<std::string> files;
  CExplorerApDoc* doc = Doc();
  if (!doc || !doc->GetRoot()) return files;
  struct CPair {
    std::string m_strLogical, m_strCatalog, m_strReal, m_strFile;
  };
  std::vector<CPair> pairs;
  for (const std::string& path : SelectedPaths()) {
    CPair pair;
    pair.m_strLogical = path;
    bool outside = false;
    if (SplitCatalogPath(*doc->GetRoot(), path, pair.m_strCatalog, pair.m_strReal, pair.m_strFile, &outside))
      pairs.push_back(std::move(pair));
    else if (outside)
      AppMessageBox(kOutsideCatalogMessage, wxOK | wxICON_EXCLAMATION, Frame());
  }
  // The desktop takes the file list when the drop happens and cannot wait
  // for questions then, so missing files are asked for now; the ones the
  // user gives up on are left out.
  wxWindow* parent = Frame();
  for (CPair& pair : pairs)
    if (ConfirmFilePresent(pair.m_strReal, pair.m_strLogical, pair.m_strCatalog, pair.m_strFile, parent,
                           FindCatalog(*doc->GetRoot(), pair.m_strCatalog)))
      files.push_back(pair.m_strReal);
  return files;
}

void CExplorerApView::OnBeginDrag(wxListEvent&) {
  const std::vector<std::string> files = DragFilePaths();
  if (files.empty() || !m_pList) return;
  wxFileDataObject data;
  for (const std::string& file : files) data.AddFile(wxString::FromUTF8(file));
  wxDropSource source(data, m_pList.get());
  source.DoDragDrop(wxDrag_CopyOnly);
}

// ---------------------------------------------------------------------------
// Commands

void CExplorerApView::OnDeleteCatalog(wxCommandEvent&) {
  CRowListCtrl* list = m_pList.get();
  CExplorerApDoc* doc = Doc();
  if (!list || !doc || !m_strCurrentPath.empty()) return;
  const long row = list->GetFirstSelectedRow();
  if (row < 0 || std::size_t(row) >= m_vecRows.size()) return;
  const std::string name = m_vecRows[std::size_t(row)].m_strName;
  doc->DeleteCatalog(name);
}

std::string CExplorerApView::SelectedCatalog() const {
  CRowListCtrl* list = m_pList.get();
  if (!list || !m_strCurrentPath.empty() || list->GetSelectedItemCount() != 1) return {};
  const long row = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  if (row < 0 || std::size_t(row) >= m_vecRows.size()) return {};
  return m_vecRows[std::size_t(row)].m_strName;
}

void CExplorerApView::OnUpdateCatalog(wxCommandEvent&) {
  CExplorerApDoc* doc = Doc();
  const std::string name = SelectedCatalog();
  if (!doc || name.empty()) return;
  // The rebuild that follows an update lists the catalogs afresh.
  if (doc->UpdateCatalog(name)) SelectRowByName(name);
}

void CExplorerApView::OnVerifyCatalog(wxCommandEvent&) {
  const std::string name = SelectedCatalog();
  if (CExplorerApDoc* doc = Doc(); doc && !name.empty()) doc->VerifyCatalog(name);
}

void CExplorerApView::OnEditNote(wxCommandEvent&) {
  const std::vector<std::string> paths = SelectedPaths();
  if (CExplorerApDoc* doc = Doc(); doc && !paths.empty()) doc->EditNotes(paths);
}

void CExplorerApView::OnSearch(wxCommandEvent&) {
  const std::string start = m_strCurrentPath;
  if (CExplorerApDoc* doc = Doc()) doc->SearchFrom(start);
}

void CExplorerApView::OnProperties(wxCommandEvent&) {
  const std::vector<std::string> paths = SelectedPaths();
  if (CExplorerApDoc* doc = Doc(); doc && !paths.empty()) doc->ShowProperties(paths);
}

void CExplorerApView::OnCopyLocation(wxCommandEvent&) {
  const std::string text = LocationText(SelectedPaths());
  if (CExplorerApDoc* doc = Doc(); doc && !text.empty()) doc->CopyTextToClipboard(text);
}

void CExplorerApView::OnOpenFile(wxCommandEvent&) {
  CRowListCtrl* list = m_pList.get();
  CExplorerApDoc* doc = Doc();
  if (!list || !doc || m_strCurrentPath.empty()) return;
  std::vector<std::string> files;
  for (long row : list->GetSelectedRows())
    if (std::size_t(row) < m_vecRows.size() && !m_vecRows[std::size_t(row)].m_bFolder)
      files.push_back(RowFullPath(row));
  // Each open may show dialogs; the paths were taken before the first.
  for (const std::string& path : files) OpenCatalogedFile(*doc, path);
}

CListSelection CExplorerApView::GetSelectionCount() const {
  CListSelection facts;
  facts.m_bSetLevel = m_strCurrentPath.empty();
  if (CRowListCtrl* list = m_pList.get()) facts.m_nSelected = int(list->GetSelectedCount());
  return facts;
}

// These two run at every idle time for the toolbar: they only count the
// selection, which costs nothing however many rows are selected.
void CExplorerApView::OnUpdateDeleteCatalog(wxUpdateUIEvent& event) {
  event.Enable(ListCanDeleteCatalog(GetSelectionCount()));
}

void CExplorerApView::OnUpdateUpdateCatalog(wxUpdateUIEvent& event) {
  event.Enable(ListCanUpdateCatalog(GetSelectionCount()));
}

void CExplorerApView::OnUpdateSelection(wxUpdateUIEvent& event) { event.Enable(ListHasSelection(GetSelectionCount())); }

void CExplorerApView::OnUpdateSearch(wxUpdateUIEvent& event) { event.Enable(true); }

void CExplorerApView::OnUpdateOpenFile(wxUpdateUIEvent& event) { event.Enable(ListCanOpenFile(GetSelectionFacts())); }
