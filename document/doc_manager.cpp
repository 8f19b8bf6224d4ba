#include "document/doc_manager.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>

#include "dialogs/message_box.h"
#include "document/doc_messages.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "model/set_file.h"
#include "document/recent_file_history.h"
#include "document/settings_file.h"
#include "resources/string_table.h"

wxBEGIN_EVENT_TABLE(CQuarrixDocManager, wxDocManager)
  EVT_MENU_RANGE(wxID_FILE1, wxID_FILE9, CQuarrixDocManager::OnRecentFile)
wxEND_EVENT_TABLE()

CQuarrixDocManager::CQuarrixDocManager() : wxDocManager(0, false) {
  // Not in the base constructor: there it would make the base's history,
  // not the four-file one of OnCreateFileHistory.
  Initialize();
}

CExplorerApDoc* CQuarrixDocManager::GetDocument() const {
  for (wxObject* object : const_cast<CQuarrixDocManager*>(this)->GetDocuments())
    if (auto* doc = dynamic_cast<CExplorerApDoc*>(object)) return doc;
  return nullptr;
}

bool CQuarrixDocManager::AskOpenPath(wxString& path) {
  wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
  wxFileDialog dialog(parent, wxString::FromUTF8("開く"), GetLastDirectory(), wxEmptyString, SetFileDialogFilter(),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return false;
  path = dialog.GetPath();
  if (!path.empty()) SetLastDirectory(wxPathOnly(path));
  return !path.empty();
}

wxDocument* CQuarrixDocManager::CreateDocument(const wxString& pathIn, long flags) {
  if (GetTemplates().empty()) return nullptr;
  auto* temp = static_cast<wxDocTemplate*>(GetTemplates().GetFirst()->GetData());
  const bool isNew = (flags & wxDOC_NEW) != 0;

  wxString path = pathIn;
  if (!isNew) {
    if (path.empty() && !AskOpenPath(path)) return nullptr;
    // Kept absolute: the recent-file list and the set's name come from it.
    wxFileName name(path);
    name.MakeAbsolute();
    path = name.GetFullPath();
  }

  CExplorerApDoc* doc = GetDocument();
  if (doc) {
    if (!isNew && !doc->GetFilename().empty() && wxFileName(doc->GetFilename()).SameAs(wxFileName(path))) return doc;
    if (!(isNew ? doc->OnNewDocument() : doc->OnOpenDocument(path))) return nullptr;
  } else {
    wxDocument* created = temp->CreateDocument(path, flags);
    if (!created) return nullptr;
    created->SetDocumentName(temp->GetDocumentName());
    created->SetDocumentTemplate(temp);
    if (!(isNew ? created->OnNewDocument() : created->OnOpenDocument(path))) {
      created->DeleteAllViews();  // deletes the document with its last view
      return nullptr;
    }
    doc = GetDocument();
  }
  if (!isNew) AddFileToHistory(path);
  return doc;
}

wxString CQuarrixDocManager::MakeNewDocumentName() {
  const std::string name = DocTemplateField(DOC_DEFAULT_NAME);
  return wxString::FromUTF8(name.empty() ? kUntitledName : name);
}

wxString CQuarrixDocManager::MakeFrameTitle(wxDocument* doc) {
  const wxString program = wxString::FromUTF8(DocTemplateField(DOC_WINDOW_TITLE));
  if (!doc) return program;
  return doc->GetUserReadableName() + " - " + program;
}

wxFileHistory* CQuarrixDocManager::OnCreateFileHistory() { return new CRecentFileHistory(kRecentFileCount); }

void CQuarrixDocManager::AddFileToHistory(const wxString& file) {
  wxDocManager::AddFileToHistory(file);
  StoreHistory();
}

void CQuarrixDocManager::RemoveFileFromHistory(size_t i) {
  wxDocManager::RemoveFileFromHistory(i);
  StoreHistory();
}

void CQuarrixDocManager::OnMRUFileNotExist(unsigned n, const wxString& filename) {
  RemoveFileFromHistory(n);
  AppMessageBox(RecentFileMissingMessage(filename.utf8_string()), wxOK | wxICON_EXCLAMATION,
                wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
}

void CQuarrixDocManager::OnRecentFile(wxCommandEvent& event) {
  wxFileHistory* history = GetFileHistory();
  const size_t n = size_t(event.GetId() - wxID_FILE1);
  if (!history || n >= history->GetCount()) return;
  const wxString file = history->GetHistoryFile(n);
  if (!wxFileName::FileExists(file)) {
    OnMRUFileNotExist(unsigned(n), file);
    return;
  }
  if (CreateDocument(file, wxDOC_SILENT)) return;
  // The document has said why it could not open the set. A file it cannot
  // read leaves the list; after a cancelled save prompt the entry stays.
  std::unique_ptr<CRootFileInfo> set;
  if (ReadSetFile(file.utf8_string(), set) == ESetFileError::None && set) return;
  for (size_t i = 0; i < history->GetCount(); ++i)
    if (history->GetHistoryFile(i) == file) {
      RemoveFileFromHistory(i);
      break;
    }
}

void CQuarrixDocManager::StoreHistory() {
  CSettingsStore* store = GetSettingsStore();
  if (store && GetFileHistory()) SaveRecentFileList(*store, *GetFileHistory());
}
