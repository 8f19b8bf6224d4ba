#pragma once
// The catalog set document: owns the one set, is the only object that
// changes it, and tells its views what changed through update hints
// (document/hints.h). The views address items by logical path.
//
// The application keeps one document object for its whole life: new and open
// replace the set inside it (CQuarrixDocManager), so views are made once.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/docview.h>

#include "dialogs/note_source.h"
#include "dialogs/search_source.h"
#include "model/root_file_info.h"
#include "platform/atomic_file.h"
#include "model/scan.h"

class CUpdateHint;
class wxUpdateUIEvent;

class CExplorerApDoc : public wxDocument, public CNoteSource, public CSearchSource {
 public:
  CExplorerApDoc();
  ~CExplorerApDoc() override;

  // Framework steps. Open reads the set before anything else changes, so a
  // file that cannot be read leaves the current set, its name and its
  // modified flag as they were. Save writes atomically and renames the
  // document only when the file was written.
  bool OnNewDocument() override;
  bool OnOpenDocument(const wxString& file) override;
  bool OnSaveDocument(const wxString& file) override;
  bool SaveAs() override;
  bool OnSaveModified() override;
  bool DeleteContents() override;
  bool OnCreate(const wxString& path, long flags) override;

  // Saves under file as save-as does after its dialog; false when not written.
  bool SaveAsPath(const wxString& file);

  // Commands. Each returns nonzero when the set changed.
  int AddCatalog();  // folder picker, label dialog, scan
  int AddCatalogFromFiles(const std::vector<std::string>& paths);
  void OnDropFiles(const wxArrayString& files);
  int DeleteCatalog(const std::string& name);
  // Scans the catalog's medium again (at its base path, else where the user
  // points), shows what would change and, when the user agrees, replaces
  // the catalog's tree keeping its notes.
  int UpdateCatalog(const std::string& name);
  // Reads the catalog's medium again (found as for an update) and shows how
  // it differs from the catalog, which stays as it is; the user may go to
  // one of the differences.
  void VerifyCatalog(const std::string& name);
  // The patterns new catalogs leave out, kept in the settings; false when
  // the dialog was cancelled.
  bool EditExcludePatterns();
  int EditNote(const std::string& path);
  // No note: the note dialog asks for it.
  int EditNotes(const std::vector<std::string>& paths, std::optional<std::string> note = std::nullopt);
  void ShowProperties(const std::string& path);
  void ShowProperties(const std::vector<std::string>& paths);
  void SearchFrom(const std::string& path);
  void CopyTextToClipboard(const std::string& text);
  void SetSortColumn(int nColumn);  // sends HINT_SORT_CHANGED
  void SelectAll();                 // sends HINT_SELECT_ALL

  // Forwarders to the set for the note dialog and the search pages.
  void GetNote(const std::string& path, std::string& out) override;
  void GetCommonNote(const std::vector<std::string>& paths, std::string& out) override;
  int FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                 CItemSummaryList& out, const CTextOptions& options) override;
  int FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                 CItemSummaryList& out, const CTextOptions& options) override;
  int FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB, CItemSummaryList& out) override;
  int FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                 CItemSummaryList& out) override;

  // For the tree view's root item: the set's name and its image in the icon
  // cache's lists; and the image of an item by its name.
  std::string GetSetName() const;
  int GetSetIconIndex(bool large = false) const;
  int GetIconIndex(const std::string& name, bool isFolder, bool isCatalog, bool large = false) const;

  // The set; null only between DeleteContents and the next new or open.
  CRootFileInfo* GetRoot() const { return m_pRoot.get(); }

  std::unique_ptr<CRootFileInfo> m_pRoot;
  int m_nSortColumn = 0;  // 0 name, 1 size, 2 kind, 3 date, 4 note
  bool m_bSortAscending = true;

 private:
  void OnAddCatalog(wxCommandEvent& event);
  void OnSortCommand(wxCommandEvent& event);
  void OnSelectAll(wxCommandEvent& event);
  void OnHelpContents(wxCommandEvent& event);
  void OnOutputCatalogSet(wxCommandEvent& event);  // in document/catalog_output.cpp
  void OnExportList(wxCommandEvent& event);        // in document/list_export_command.cpp
  void OnExcludePatterns(wxCommandEvent& event);
  void OnFindCopies(wxCommandEvent& event);  // in document/copies_command.cpp
  void OnUpdateEnabled(wxUpdateUIEvent& event);
  void OnUpdateSort(wxUpdateUIEvent& event);

  void SendHint(CUpdateHint& hint);
  // The label dialog, starting with the label suggested for paths; false
  // when cancelled. hash gets the dialog's hash check box, which the
  // settings keep for the next time.
  // How a new catalog is to be made, as the label dialog asks.
  struct CAddChoices {
    bool bHash = false;
    bool bArchives = false;
  };
  bool AskCatalogLabel(const std::vector<std::string>& paths, std::string& label, CAddChoices& choices);
  // Scans paths on a worker thread with the progress dialog and adds the
  // catalog (taking its files' hashes when hash); a cancelled or failed scan
  // changes nothing and says why.
  int ScanAndAdd(const std::string& label, const std::vector<std::string>& paths, const CAddChoices& choices);
  // Where the medium of catalog name is now: its base path, else where the
  // user points; the user is asked first when another medium or none is
  // there. False when the user gave up.
  bool LocateMedium(const CDriveFileInfo& catalog, const std::string& name, bool verifying, std::string& place);
  // Selects the item at path in the views (as a search result is gone to).
  void GoToItem(const std::string& path);
  // Runs scan on a worker thread behind the scan progress dialog; Cancelled
  // when the dialog was cancelled.
  EScanStatus ScanWithProgress(const char* caption,
                               const std::function<EScanStatus(const CScanOptions& options)>& scan);
  // Hint and flag for a catalog that was added, the message for a refusal.
  int FinishAdd(const CDriveFileInfo* added);
  wxWindow* GetDialogParent() const;

  bool m_bChangesDiscarded = false;  // the save prompt was answered No
  // The file as it was when opened or last saved: a save over a file that
  // another program changed since asks first.
  std::optional<CFileIdentity> m_onDisk;
  void RememberOnDisk(const std::string& path);

  wxDECLARE_DYNAMIC_CLASS(CExplorerApDoc);
  wxDECLARE_EVENT_TABLE();
};

// The sort key a sort command (ID_SORT_BY_...) sets; -1 for other ids.
int SortColumnForCommand(int id);

// path when set holds an item there, else the nearest folder above it that
// set holds (a file found new on a medium is gone to by its folder).
std::string NearestHeldPath(const CRootFileInfo& set, std::string path);
