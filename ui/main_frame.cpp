#include "ui/main_frame.h"

#include <wx/display.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <utility>

#include "document/app_icon.h"
#include "document/command_ids.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "document/settings_file.h"
#include "document/settings_store.h"
#include "model/medium_match.h"
#include "platform/media_type.h"
#include "ui/frame_ids.h"
#include "ui/frame_strings.h"
#include "ui/gtk_extras.h"
#include "ui/main_menu.h"
#include "ui/mount_watch.h"

namespace {

enum EStatusPane { PANE_MESSAGE = 0, PANE_KANA, PANE_CAPS, PANE_NUM, PANE_SCROLL, PANE_COUNT };

const char* const kIndicators[PANE_COUNT] = {"", kIndicatorKana, kIndicatorCaps, kIndicatorNum, kIndicatorScroll};

}  // namespace

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
  EVT_IDLE(CMainFrame::OnIdle)
  EVT_MENU_HIGHLIGHT_ALL(CMainFrame::OnMenuHighlight)
  EVT_SIZE(CMainFrame::OnSize)
  EVT_MOVE(CMainFrame::OnMove)
  EVT_ACTIVATE(CMainFrame::OnActivate)
  EVT_MENU_RANGE(ID_VIEW_SMALLICON, ID_VIEW_DETAILS, CMainFrame::OnDisplayStyle)
  EVT_UPDATE_UI_RANGE(ID_VIEW_SMALLICON, ID_VIEW_DETAILS, CMainFrame::OnUpdateDisplayStyle)
  EVT_MENU(ID_VIEW_TOOLBAR, CMainFrame::OnToggleToolBar)
  EVT_UPDATE_UI(ID_VIEW_TOOLBAR, CMainFrame::OnUpdateToolBar)
  EVT_MENU(ID_VIEW_STATUS_BAR, CMainFrame::OnToggleStatusBar)
  EVT_UPDATE_UI(ID_VIEW_STATUS_BAR, CMainFrame::OnUpdateStatusBar)
  EVT_MENU(ID_NEXT_PANE, CMainFrame::OnSwitchPane)
  EVT_MENU(ID_PREV_PANE, CMainFrame::OnSwitchPane)
  // The views' commands reach the frame only when the active view does not
  // handle them (open file while the tree is active): they are unavailable.
  EVT_UPDATE_UI(ID_EDIT_NOTE, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_SEARCH, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_DELETE_CATALOG, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_UPDATE_CATALOG, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_VERIFY_CATALOG, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_PROPERTIES, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_COPY_LOCATION, CMainFrame::OnUpdateUnhandled)
  EVT_UPDATE_UI(ID_OPEN_FILE, CMainFrame::OnUpdateUnhandled)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, wxString::FromUTF8(DocTemplateField(DOC_WINDOW_TITLE)),
                       wxDefaultPosition, wxSize(kWidth, kHeight)) {
  SetIcons(GetAppIconBundle());
  CreateBars();
  m_pContextMenu.reset(CreateContextMenu());
  m_rectNormal = GetRect();
  m_vecMountPoints = MountPoints();
  m_pMountWatch = std::make_unique<CMountWatch>(this, [this] { CheckNewMedia(); });
  // Bound after the document frame's own close handler, so it runs before
  // that one closes the documents and their views go.
  Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
}

CMainFrame::~CMainFrame() = default;

CMainFrame* CMainFrame::FindFor(wxDocManager* manager) {
  if (!manager) return nullptr;
  for (wxWindow* window : wxTopLevelWindows) {
    auto* frame = dynamic_cast<CMainFrame*>(window);
    if (frame && frame->GetDocumentManager() == manager && !frame->IsBeingDeleted()) return frame;
  }
  return nullptr;
}

void CMainFrame::CreateBars() {
  SetMenuBar(CreateMainMenuBar());
  // The keys are the table's alone: an item whose text names no key loses
  // the one GTK gives its stock id (Ctrl+Q for exit, Shift+Ctrl+S for save as).
  for (wxMenu* menu : AllMenus(GetMenuBar()))
    for (wxMenuItem* item : menu->GetMenuItems())
      if (!item->IsSeparator() && !item->IsSubMenu() && !item->GetItemLabel().Contains("\t")) RemoveItemShortcuts(item);
  if (wxDocManager* manager = GetDocumentManager())
    if (wxFileHistory* history = manager->GetFileHistory()) history->UseMenu(GetMenuBar()->GetMenu(0));

  wxToolBar* toolbar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
  // No size is asked for: one asked for is scaled by whole factors only, so
  // a 144 DPI screen would keep 16 pixels. The vector images' own 16 pixels
  // scale with the window's DPI instead.
  AddMainTools(toolbar);

  wxStatusBar* status = CreateStatusBar(PANE_COUNT);
  int widths[PANE_COUNT] = {-1};
  int styles[PANE_COUNT] = {wxSB_NORMAL};
  for (int pane = PANE_KANA; pane < PANE_COUNT; ++pane) {
    widths[pane] = status->GetTextExtent(wxString::FromUTF8(kIndicators[pane])).x + FromDIP(12);
    styles[pane] = wxSB_SUNKEN;
  }
  status->SetStatusWidths(PANE_COUNT, widths);
  status->SetStatusStyles(PANE_COUNT, styles);
  status->SetStatusText(wxString::FromUTF8(kIdleMessage), PANE_MESSAGE);

  const std::vector<wxAcceleratorEntry> keys = MainAcceleratorEntries();
  SetAcceleratorTable(wxAcceleratorTable(int(keys.size()), keys.data()));
}

bool CMainFrame::CreateClient(wxDocument* doc, CLeftView* left) {
  if (m_pSplitter || !doc || !left) return false;
  m_pSplitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSP_3D | wxSP_LIVE_UPDATE);
  left->SetFrame(this);
  auto* right = new CExplorerApView;
  right->SetDocument(doc);
  right->SetFrame(this);
  if (!left->CreateControl(m_pSplitter) || !right->CreateControl(m_pSplitter)) {
    delete right;
    m_pSplitter->Destroy();
    m_pSplitter = nullptr;
    return false;
  }
  m_pSplitter->SetMinimumPaneSize(1);
  // The user dragging the sash ends any wait for the kept one (a squeeze
  // notifies a change too, but only a drag says it is changing).
  m_pSplitter->Bind(wxEVT_SPLITTER_SASH_POS_CHANGING, [this](wxSplitterEvent& event) {
    event.Skip();
    if (m_pPendingLayout) m_pPendingLayout->m_nSplitter = 0;
  });
  m_pSplitter->SplitVertically(left->GetTreeCtrl(), right->GetListCtrl(), kTreeWidth);
  m_pLeft = left;
  m_pRight = right;
  // Above the panes, hidden until a medium of the set is connected.
  m_pInfoBar = new wxInfoBar(this);
  m_pInfoBar->AddButton(ID_UPDATE_CONNECTED, wxString::FromUTF8(kUpdateConnectedButton));
  // On the bar itself: its own handler would take the click and only close it.
  m_pInfoBar->Bind(wxEVT_BUTTON, &CMainFrame::OnUpdateConnected, this, ID_UPDATE_CONNECTED);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(m_pInfoBar, 0, wxEXPAND);
  sizer->Add(m_pSplitter, 1, wxEXPAND);
  SetSizer(sizer);
  SendSizeEvent();
  return true;
}

// ---------------------------------------------------------------------------
// Status bar

void CMainFrame::SetStatusText(const wxString& text, int number) {
  if (number != PANE_MESSAGE) {
    wxDocParentFrame::SetStatusText(text, number);
    return;
  }
  if (text == m_strLastStatus) return;
  m_strLastStatus = text;
  wxDocParentFrame::SetStatusText(text, number);
}

void CMainFrame::DoGiveHelp(const wxString& text, bool show) {
  wxStatusBar* status = GetStatusBar();
  if (!status || GetStatusBarPane() < 0) return;
  status->SetStatusText(show ? text : wxString::FromUTF8(kIdleMessage), PANE_MESSAGE);
}

void CMainFrame::OnMenuHighlight(wxMenuEvent& event) {
  // The program's own prompt, none for commands without one: the prompts
  // wx keeps for stock commands ("Create new document") are not shown.
  const int id = event.GetMenuId();
  if (id == wxID_SEPARATOR || id == wxID_NONE) return;
  DoGiveHelp(wxString::FromUTF8(CommandPrompt(id)), true);
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
  event.Skip();
  UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
  wxStatusBar* status = GetStatusBar();
  if (!status || status->GetFieldsCount() != PANE_COUNT) return;
  CLockKeyState locks;
  ReadLockKeys(locks);
  // The kana lock has no counterpart here; its pane stays blank.
  const bool on[PANE_COUNT] = {false, false, locks.m_bCaps, locks.m_bNum, locks.m_bScroll};
  for (int pane = PANE_CAPS; pane < PANE_COUNT; ++pane) {
    const wxString text = on[pane] ? wxString::FromUTF8(kIndicators[pane]) : wxString();
    if (status->GetStatusText(pane) != text) status->SetStatusText(text, pane);
  }
}

void CMainFrame::OnToggleToolBar(wxCommandEvent&) {
  if (wxToolBar* toolbar = GetToolBar()) {
    toolbar->Show(!toolbar->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnUpdateToolBar(wxUpdateUIEvent& event) { event.Check(GetToolBar() && GetToolBar()->IsShown()); }

void CMainFrame::OnToggleStatusBar(wxCommandEvent&) {
  if (wxStatusBar* status = GetStatusBar()) {
    status->Show(!status->IsShown());
    SendSizeEvent();
  }
}

void CMainFrame::OnUpdateStatusBar(wxUpdateUIEvent& event) { event.Check(GetStatusBar() && GetStatusBar()->IsShown()); }

// ---------------------------------------------------------------------------
// Views

void CMainFrame::ShowDocumentTitle(wxDocument* doc) {
  if (wxDocManager* manager = GetDocumentManager()) SetTitle(manager->MakeFrameTitle(doc));
}

void CMainFrame::SetActiveView(wxView* view) {
  if (!view) return;
  view->Activate(true);
  if (view == GetLeftPane()) {
    if (wxWindow* tree = GetLeftPane()->GetTreeCtrl()) tree->SetFocus();
  } else if (view == GetRightPane()) {
    if (wxWindow* list = GetRightPane()->GetListCtrl()) list->SetFocus();
  }
}

void CMainFrame::OnSwitchPane(wxCommandEvent&) {
  // With two panes the next and the previous pane are the same: the other.
  wxDocManager* manager = GetDocumentManager();
  const bool leftActive = manager && manager->GetCurrentView() == GetLeftPane();
  if (leftActive) {
    SetActiveView(GetRightPane());
    if (CExplorerApView* list = GetRightPane()) list->SelectRowOnEntry();
  } else {
    SetActiveView(GetLeftPane());
  }
}

void CMainFrame::ShowContextMenu(const wxPoint& screenPoint) {
  if (m_pContextMenu) PopupMenu(m_pContextMenu.get(), ScreenToClient(screenPoint));
}

void CMainFrame::OnDisplayStyle(wxCommandEvent& event) {
  if (CExplorerApView* list = GetRightPane()) list->SetDisplayStyle(ListStyleForCommand(event.GetId()));
}

void CMainFrame::OnUpdateDisplayStyle(wxUpdateUIEvent& event) {
  CExplorerApView* list = GetRightPane();
  event.Enable(list != nullptr);
  event.Check(list && list->GetDisplayStyle() == ListStyleForCommand(event.GetId()));
}

void CMainFrame::OnUpdateUnhandled(wxUpdateUIEvent& event) { event.Enable(false); }

// ---------------------------------------------------------------------------
// Media connected while the program runs

CExplorerApDoc* CMainFrame::Doc() const {
  CExplorerApView* list = GetRightPane();
  return list ? dynamic_cast<CExplorerApDoc*>(list->GetDocument()) : nullptr;
}

void CMainFrame::CheckNewMedia() {
  const std::vector<std::string> before = std::exchange(m_vecMountPoints, MountPoints());
  CExplorerApDoc* doc = Doc();
  if (!m_pInfoBar || !doc || !doc->GetRoot()) return;
  const std::vector<CNewMedium> found = CatalogsOfNewMounts(*doc->GetRoot(), before, m_vecMountPoints);
  if (found.empty()) return;
  m_strNoticeCatalog = found.front().pCatalog->m_strLabel;
  m_strNotice = MediumConnectedNotice(m_strNoticeCatalog);
  m_pInfoBar->ShowMessage(wxString::FromUTF8(m_strNotice), wxICON_QUESTION);
}

void CMainFrame::OnUpdateConnected(wxCommandEvent&) {
  if (m_pInfoBar) m_pInfoBar->Dismiss();
  const std::string name = m_strNoticeCatalog;
  CExplorerApDoc* doc = Doc();
  if (doc && doc->UpdateCatalog(name))
    if (CLeftView* tree = GetLeftPane()) tree->RevealPath(name);
}

// ---------------------------------------------------------------------------
// Layout kept between runs

void CMainFrame::RememberNormalRect() {
  if (!IsMaximized() && !IsIconized() && !IsFullScreen()) m_rectNormal = GetRect();
}

void CMainFrame::OnSize(wxSizeEvent& event) {
  RememberNormalRect();
  event.Skip();
  CallAfter(&CMainFrame::ApplyPendingLayout);
}

void CMainFrame::OnMove(wxMoveEvent& event) {
  RememberNormalRect();
  event.Skip();
  CallAfter(&CMainFrame::ApplyPendingLayout);
}

void CMainFrame::ApplyPendingLayout() {
  // A window manager places and sizes a new window itself once it has shown
  // it, whatever was asked before; the kept layout is asked for again then
  // (a few times at most, should the manager insist), until the window is
  // first activated.
  // The splitter, laid out again when the frame takes its size, may have
  // lost the kept position even where the frame was left in place.
  if (!m_pPendingLayout || !IsShownOnScreen()) return;
  // With no place kept (a first run) the frame stays as it was made.
  if (m_nPendingTries > 0 && !m_rectPlaced.IsEmpty() && GetRect() != m_rectPlaced) {
    --m_nPendingTries;
    SetSize(m_rectPlaced);
  }
  // The sash is asked for whenever the splitter is wide enough to show it
  // (the splitter squeezes a sash within 5 pixels of its edge): a narrower
  // one would only squeeze it again. That costs no try, as it never fights
  // the window manager.
  if (SashPending() && m_pSplitter->GetClientSize().GetWidth() - 5 > m_pPendingLayout->m_nSplitter)
    m_pSplitter->SetSashPosition(m_pPendingLayout->m_nSplitter);
  if (m_bActivated && !SashPending()) m_pPendingLayout.reset();
}

bool CMainFrame::SashPending() const {
  return m_pPendingLayout && m_pSplitter && m_pPendingLayout->m_nSplitter > 0 &&
         m_pSplitter->GetSashPosition() != m_pPendingLayout->m_nSplitter;
}

void CMainFrame::OnActivate(wxActivateEvent& event) {
  event.Skip();
  // Asked for once more first: the splitter may have been squeezed while the
  // window manager was still sizing the frame. From then on the frame is the
  // user's; only a sash the splitter could not show yet stays asked for, on
  // a loaded machine the manager's last sizing may come after this.
  if (event.GetActive() && m_pPendingLayout)
    CallAfter([this] {
      m_bActivated = true;
      ApplyPendingLayout();
      m_rectPlaced = wxRect();
    });
}

void CMainFrame::OnClose(wxCloseEvent& event) {
  KeepWindowLayout();
  event.Skip();  // the document's save prompt and the end
}

void CMainFrame::EndSession(wxDocManager* manager) {
  CMainFrame* frame = FindFor(manager);
  if (!frame) return;
  frame->KeepWindowLayout();
  frame->Close(true);
}

void CMainFrame::KeepWindowLayout() {
  if (CSettingsStore* config = GetSettingsStore()) SaveWindowLayout(*config, GetWindowLayout());
}

CWindowLayout CMainFrame::GetWindowLayout() const {
  CWindowLayout layout;
  layout.m_rect = m_rectNormal;
  layout.m_bMaximized = IsMaximized();
  if (m_pSplitter && m_pSplitter->IsSplit()) layout.m_nSplitter = m_pSplitter->GetSashPosition();
  if (CExplorerApView* list = GetRightPane()) {
    layout.m_nStyle = list->GetDisplayStyle();
    // Kept in pixels of a 96 DPI screen, so that they fit another screen too.
    if (CRowListCtrl* control = list->GetListCtrl())
      for (int width : control->GetColumnWidths()) layout.m_vecColumnWidths.push_back(ToDIP(width));
  }
  return layout;
}

void CMainFrame::ApplyWindowLayout(const CWindowLayout& layout) {
  if (!layout.m_rect.IsEmpty()) {
    std::vector<wxRect> screens;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) screens.push_back(wxDisplay(i).GetClientArea());
    const wxRect placed = PlaceOnScreens(layout.m_rect, screens);
    SetSize(placed);
    m_rectNormal = GetRect();
    m_rectPlaced = placed.x == wxDefaultCoord ? GetRect() : placed;
  }
  if (m_pSplitter && layout.m_nSplitter > 0) m_pSplitter->SetSashPosition(layout.m_nSplitter);
  if (CExplorerApView* list = GetRightPane()) {
    if (CRowListCtrl* control = list->GetListCtrl()) {
      std::vector<int> widths;
      for (int width : layout.m_vecColumnWidths) widths.push_back(FromDIP(width));
      control->SetColumnWidths(widths);
    }
    if (layout.m_nStyle) list->SetDisplayStyle(layout.m_nStyle);
  }
  if (layout.m_bMaximized) Maximize();
  m_pPendingLayout = std::make_unique<CWindowLayout>(layout);
  m_nPendingTries = 3;
}
