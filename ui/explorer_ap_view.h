#pragma once
// The list view: the right pane of the main window. It lists the children
// of one place of the set (the catalogs at the set level), in the
// document's sort order, and carries the commands that act on its
// selection. It keeps flat rows, never pointers into the set; rows are
// addressed by their names and their place in the list.

#include <string>
#include <vector>

#include <wx/docview.h>
#include <wx/weakref.h>

#include "document/status_text_source.h"
#include "ui/list_rows.h"
#include "ui/row_list_ctrl.h"
#include "ui/view_rules.h"

class CExplorerApDoc;
class CMainFrame;
class wxContextMenuEvent;
class wxListEvent;

class CExplorerApView : public wxView, public CStatusTextSource {
 public:
  CExplorerApView();
  ~CExplorerApView() override;

  // Makes the list control inside parent, with the document's drop target.
  bool CreateControl(wxWindow* parent);
  CRowListCtrl* GetListCtrl() const { return m_pList.get(); }

  void OnDraw(wxDC*) override {}
  void OnUpdate(wxView* sender, wxObject* hint) override;
  // The views close with their document; closing one closes nothing else.
  bool OnClose(bool) override { return true; }
  bool GetStatusText(wxString& text) override;
  // The tree view keeps the frame's title.
  void OnChangeFilename() override {}

  // Lists the children of path. A path that names no container leaves the
  // rows as they are (the path is taken over all the same).
  void FillList(const std::string& path);
  // Selects, focuses and shows the row named name; nothing when none is.
  void SelectRowByName(const std::string& name);
  // The logical path of row i.
  std::string RowFullPath(long row) const;

  // The list's display style (wxLC_ICON, wxLC_SMALL_ICON, wxLC_LIST,
  // wxLC_REPORT); changing it keeps the rows.
  long GetDisplayStyle() const;
  void SetDisplayStyle(long style);

  // Sorts the rows again with the document's sort state.
  void SortRows();

  // What the command handlers and Enter act on.
  CListSelection GetSelectionFacts() const;
  // The same without looking at the rows: no container count.
  CListSelection GetSelectionCount() const;
  std::vector<std::string> SelectedPaths() const;

  // Opens row as a folder: lists it and tells the tree. Nothing for a file.
  void OpenFolderRow(long row);
  // Lists the folder above the one shown, with the folder left selected;
  // nothing at the set level.
  void GoToParentFolder();
  // The keyboard brought the focus here: a list without a selection selects
  // its focused row (or its first), so that Enter acts on it.
  void SelectRowOnEntry();

  // The rows as shown, on pages; the tree view prints the same.
  wxPrintout* OnCreatePrintout() override;
  // The real paths a drag of the selected rows offers, each confirmed to
  // be present (the user may be asked for a missing one).
  std::vector<std::string> DragFilePaths();

  const std::string& GetCurrentPath() const { return m_strCurrentPath; }
  const std::vector<CListRow>& GetRows() const { return m_vecRows; }
  // Fills so far, successful or not.
  int GetFillCount() const { return m_nFillCount; }

 private:
  CExplorerApDoc* Doc() const;
  CMainFrame* Frame() const;
  void InitialUpdate();
  // Gives the control the icon cache's images when it has more than shown.
  void UpdateImages();
  // The header's sort arrow follows the document's sort state.
  void ShowSortArrow();
  void OnNoteChanged(const std::string& path, const std::string& note);
  void SelectAllRows();
  // The one catalog selected at the set level; empty when that is not the selection.
  std::string SelectedCatalog() const;

  // Control events.
  void OnColumnClick(wxListEvent& event);
  void OnItemActivated(wxListEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnBeginDrag(wxListEvent& event);
  void OnChildFocus(wxChildFocusEvent& event);
  void OnMouseDown(wxMouseEvent& event);
  void OnEnter();

  // Commands.
  void OnDeleteCatalog(wxCommandEvent& event);
  void OnUpdateCatalog(wxCommandEvent& event);
  void OnVerifyCatalog(wxCommandEvent& event);
  void OnEditNote(wxCommandEvent& event);
  void OnSearch(wxCommandEvent& event);
  void OnProperties(wxCommandEvent& event);
  void OnCopyLocation(wxCommandEvent& event);
  void OnOpenFile(wxCommandEvent& event);
  void OnUpdateDeleteCatalog(wxUpdateUIEvent& event);
  void OnUpdateUpdateCatalog(wxUpdateUIEvent& event);
  void OnUpdateSelection(wxUpdateUIEvent& event);
  void OnUpdateSearch(wxUpdateUIEvent& event);
  void OnUpdateOpenFile(wxUpdateUIEvent& event);

  std::string m_strCurrentPath;     // empty at the set level
  std::vector<CListRow> m_vecRows;  // in list order
  wxWeakRef<CRowListCtrl> m_pList;
  int m_nFillCount = 0;
  std::size_t m_nImagesShown = 0;

  wxDECLARE_DYNAMIC_CLASS(CExplorerApView);
  wxDECLARE_EVENT_TABLE();
};
