#pragma once
// What each view registers on its window so that files and folders dropped
// on it become a catalog: the document's AddCatalogFromFiles runs once the
// drop is over, with the dropped paths in their order.

#include <wx/dnd.h>
#include <wx/weakref.h>

class CExplorerApDoc;

class CCatalogDropTarget : public wxFileDropTarget {
 public:
  explicit CCatalogDropTarget(CExplorerApDoc* pDoc);

  // Copy when the drag offers a file list, nothing otherwise.
  wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
  wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& filenames) override;

 private:
  // The document outlives its views, but a drop handled after it is gone
  // must find nothing rather than a dangling pointer.
  wxWeakRef<CExplorerApDoc> m_pDoc;
};
