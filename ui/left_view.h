#pragma once
// The tree view: the left pane of the main window and the view the document
// template makes. It shows the set, its catalogs and their folders (never
// files), builds each node's children only when the node is expanded, and
// decides what the list view shows: 200 ms after the selection last
// changed, the list is filled with the selected node's children. Nodes hold
// only their names; a node's place is its path of names.

#include <string>

#include <wx/docview.h>
#include <wx/timer.h>
#include <wx/treectrl.h>
#include <wx/weakref.h>

#include "document/status_text_source.h"

class CExplorerApDoc;
class CExplorerApView;
class CMainFrame;
struct CItemSummary;

class CLeftView : public wxView, public CStatusTextSource {
 public:
  // How long the selection must stay put before the list follows it.
  static constexpr int kSettleMilliseconds = 200;

  CLeftView();
  ~CLeftView() override;

  // Made by the template with the document: asks the main frame to build
  // both panes.
  bool OnCreate(wxDocument* doc, long flags) override;
  // Makes the tree control inside parent, with the document's drop target.
  bool CreateControl(wxWindow* parent);
  wxTreeCtrl* GetTreeCtrl() const { return m_pTree.get(); }

  void OnDraw(wxDC*) override {}
  void OnUpdate(wxView* sender, wxObject* hint) override;
  bool OnClose(bool) override { return true; }
  bool GetStatusText(wxString& text) override;
  // The frame's title follows the document's name.
  void OnChangeFilename() override;
  // What is printed is the list, whichever pane is active.
  wxPrintout* OnCreatePrintout() override;

  // The logical path of node: empty for the root (and no node).
  std::string NodePath(const wxTreeItemId& node) const;
  // The stored name of node, not the text it shows.
  std::string NodeName(const wxTreeItemId& node) const;
  // Expands the way to path from the root and selects its node; the node,
  // or an invalid id when some part of the path is not there.
  wxTreeItemId RevealPath(const std::string& path);
  // Shows a found item: a folder or catalog is selected; for a file its
  // folder is selected and listed at once, and its row selected.
  void RevealFoundItem(const CItemSummary& item);

  // What the settle timer does when it runs out: fills the list with the
  // pending node's children. Tests call it instead of waiting.
  void SettleSelection();
  bool IsSettlePending() const { return m_bPending; }

 private:
  CExplorerApDoc* Doc() const;
  CMainFrame* Frame() const;
  CExplorerApView* ListView() const;

  void InitialUpdate();
  void Rebuild();
  void FillChildren(const wxTreeItemId& node);
  wxTreeItemId RevealFrom(const wxTreeItemId& start, const std::string& path);
  void CancelPendingFill();

  void OnSelChanged(wxTreeEvent& event);
  void OnItemExpanding(wxTreeEvent& event);
  void OnDeleteItem(wxTreeEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnChar(wxKeyEvent& event);
  // The "*" key: node and the folders below it, within kMaxExpandAllNodes.
  void ExpandAllBelow(const wxTreeItemId& node);
  void OnRightClick(wxTreeEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnChildFocus(wxChildFocusEvent& event);
  void OnMouseDown(wxMouseEvent& event);
  void OnSettleTimer(wxTimerEvent& event);
  void ShowContextMenu();
  // The catalog selected in the tree; empty when the selection is no catalog.
  std::string SelectedCatalog() const;

  void OnDeleteCatalog(wxCommandEvent& event);
  void OnUpdateCatalog(wxCommandEvent& event);
  void OnVerifyCatalog(wxCommandEvent& event);
  void OnSearch(wxCommandEvent& event);
  void OnEditNote(wxCommandEvent& event);
  void OnProperties(wxCommandEvent& event);
  void OnCopyLocation(wxCommandEvent& event);
  void OnUpdateDeleteCatalog(wxUpdateUIEvent& event);
  void OnUpdateSelection(wxUpdateUIEvent& event);
  void OnUpdateSearch(wxUpdateUIEvent& event);

  wxWeakRef<wxTreeCtrl> m_pTree;
  bool m_bSuppressSelChange = false;  // selection changes schedule no fill
  wxTimer m_timerSettle;
  wxTreeItemId m_itemPending;  // the node the list will show
  bool m_bPending = false;

  wxDECLARE_DYNAMIC_CLASS(CLeftView);
  wxDECLARE_EVENT_TABLE();
};
