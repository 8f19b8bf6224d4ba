#pragma once
// The document manager of a single-document program: one CExplorerApDoc
// lives from the first new or open to exit, and new and open replace the set
// inside it instead of making another document.

#include <wx/docview.h>

class CExplorerApDoc;

class CQuarrixDocManager : public wxDocManager {
 public:
  CQuarrixDocManager();

  // wxDOC_NEW: a new set. Otherwise opens path, asking for a file when it is
  // empty; opening the document's own file again does nothing. Null when
  // cancelled or failed (the user was told why).
  wxDocument* CreateDocument(const wxString& path, long flags = 0) override;

  wxString MakeNewDocumentName() override;            // "無題"
  wxString MakeFrameTitle(wxDocument* doc) override;  // "TITLE - クオリクス"
  wxFileHistory* OnCreateFileHistory() override;      // four files
  // Also stores the list in the settings file right away.
  void AddFileToHistory(const wxString& file) override;
  void RemoveFileFromHistory(size_t i) override;

  // The document, or null before the first new or open.
  CExplorerApDoc* GetDocument() const;

 protected:
  void OnMRUFileNotExist(unsigned n, const wxString& filename) override;

 private:
  // The open-file dialog; false when cancelled.
  bool AskOpenPath(wxString& path);
  void StoreHistory();
  // A recent file: opens it; one that cannot be opened leaves the list.
  void OnRecentFile(wxCommandEvent& event);

  wxDECLARE_EVENT_TABLE();
};
