#pragma once
// The main window: menu bar, toolbar, status bar and a splitter with the
// tree view on the left and the list view on the right. It owns the context
// menu both views show, shows the status text the views compute, and
// carries the list's four display styles.

#include <memory>
#include <string>
#include <vector>

#include <wx/docview.h>
#include <wx/infobar.h>  // on some platforms wxInfoBar names another class
#include <wx/weakref.h>

#include "document/window_layout.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"

class CExplorerApDoc;
class CMountWatch;
class wxMenu;
class wxSplitterWindow;

class CMainFrame : public wxDocParentFrame {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 440;
  static constexpr int kTreeWidth = 200;

  explicit CMainFrame(wxDocManager* manager);
  ~CMainFrame() override;

  // The frame of manager's documents, if one exists.
  static CMainFrame* FindFor(wxDocManager* manager);

  // Builds the splitter with left's tree and a new list view of doc; false
  // (and no splitter) when a pane cannot be made.
  bool CreateClient(wxDocument* doc, CLeftView* left);
  CLeftView* GetLeftPane() const { return m_pLeft.get(); }
  CExplorerApView* GetRightPane() const { return m_pRight.get(); }

  // Pane 0 shows text only when it differs from the text this frame last
  // showed there, so a prompt shown meanwhile stays until the text changes.
  void SetStatusText(const wxString& text, int number = 0) override;
  // Menu and toolbar prompts; when they end, pane 0 reads the idle message.
  void DoGiveHelp(const wxString& text, bool show) override;

  // The title: the document's name and the program's.
  void ShowDocumentTitle(wxDocument* doc);

  // Makes view the active view and gives its control the focus.
  void SetActiveView(wxView* view);

  // The layout to keep for the next run (the unmaximised place and size).
  CWindowLayout GetWindowLayout() const;
  // The end of the desktop session (logout, or a request to end by signal):
  // the layout shown is kept, then manager's frame closes without the
  // chance to refuse.
  static void EndSession(wxDocManager* manager);
  // Writes the layout shown now to the settings, as closing the window does
  // whichever way it is closed; the end of the session calls it too.
  void KeepWindowLayout();
  // Applies what layout keeps; a position on no screen is left to the
  // desktop. The list's style and widths apply to the set shown now.
  void ApplyWindowLayout(const CWindowLayout& layout);

  wxMenu* GetContextMenu() const { return m_pContextMenu.get(); }
  void ShowContextMenu(const wxPoint& screenPoint);

  // Looks at the mounts again: when a medium mounted since the last look is
  // a catalog of the open set, the info bar offers to update that catalog.
  // The mount watch calls it; so can tests.
  void CheckNewMedia();
  wxInfoBar* GetInfoBar() const { return m_pInfoBar; }
  // The info bar's text and the catalog its button updates.
  const std::string& GetMediumNotice() const { return m_strNotice; }
  const std::string& GetNoticeCatalog() const { return m_strNoticeCatalog; }

 private:
  void CreateBars();
  CExplorerApDoc* Doc() const;
  void UpdateLockIndicators();

  void OnIdle(wxIdleEvent& event);
  void OnMenuHighlight(wxMenuEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnMove(wxMoveEvent& event);
  void OnClose(wxCloseEvent& event);
  void RememberNormalRect();
  void ApplyPendingLayout();
  void OnActivate(wxActivateEvent& event);
  void OnDisplayStyle(wxCommandEvent& event);
  void OnUpdateDisplayStyle(wxUpdateUIEvent& event);
  void OnToggleToolBar(wxCommandEvent& event);
  void OnUpdateToolBar(wxUpdateUIEvent& event);
  void OnToggleStatusBar(wxCommandEvent& event);
  void OnUpdateStatusBar(wxUpdateUIEvent& event);
  void OnSwitchPane(wxCommandEvent& event);
  void OnUpdateUnhandled(wxUpdateUIEvent& event);
  void OnUpdateConnected(wxCommandEvent& event);
  // Whether the kept sash position is still to be shown.
  bool SashPending() const;

  wxSplitterWindow* m_pSplitter = nullptr;
  std::unique_ptr<wxMenu> m_pContextMenu;
  wxString m_strLastStatus;
  wxRect m_rectNormal;  // the frame when last neither maximised nor minimised
  // The layout applied before a window manager had placed the window.
  std::unique_ptr<CWindowLayout> m_pPendingLayout;
  wxRect m_rectPlaced;        // where that layout put the frame
  int m_nPendingTries = 0;    // for the frame's place; the sash needs none
  bool m_bActivated = false;  // once, by the user or the window manager
  wxWeakRef<CLeftView> m_pLeft;
  wxWeakRef<CExplorerApView> m_pRight;
  wxInfoBar* m_pInfoBar = nullptr;
  std::vector<std::string> m_vecMountPoints;  // as last looked at
  std::unique_ptr<CMountWatch> m_pMountWatch;
  std::string m_strNotice, m_strNoticeCatalog;

  wxDECLARE_EVENT_TABLE();
};
