#include "document/catalog_drop_target.h"

#include "document/explorer_ap_doc.h"

CCatalogDropTarget::CCatalogDropTarget(CExplorerApDoc* pDoc) : m_pDoc(pDoc) {}

wxDragResult CCatalogDropTarget::OnEnter(wxCoord x, wxCoord y, wxDragResult def) { return OnDragOver(x, y, def); }

wxDragResult CCatalogDropTarget::OnDragOver(wxCoord, wxCoord, wxDragResult) {
  return GetMatchingPair() != wxDF_INVALID ? wxDragCopy : wxDragNone;
}

bool CCatalogDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& filenames) {
  if (!m_pDoc || filenames.empty()) return false;
  // The confirmation, the label dialog and the scan must not run while the
  // desktop still waits for the drop to end.
  m_pDoc->CallAfter(&CExplorerApDoc::OnDropFiles, filenames);
  return true;
}
