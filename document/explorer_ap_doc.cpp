#include "document/explorer_ap_doc.h"

#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <atomic>
#include <ctime>

#include "dialogs/exclude_patterns_dlg.h"
#include "dialogs/find_by_text_page.h"
#include "dialogs/icon_index_source.h"
#include "dialogs/label_dlg.h"
#include "dialogs/message_box.h"
#include "dialogs/note_edit_dlg.h"
#include "dialogs/prop_info_sheet.h"
#include "dialogs/search_result_dlg.h"
#include "dialogs/search_sheet.h"
#include "dialogs/update_summary_dlg.h"
#include "dialogs/verify_result_dlg.h"
#include "document/app_settings.h"
#include "document/background_work.h"
#include "document/browse_for_location.h"
#include "document/cataloged_file_opener.h"
#include "document/command_ids.h"
#include "document/doc_messages.h"
#include "document/doc_template.h"
#include "document/file_path_text.h"
#include "document/help_contents.h"
#include "document/hints.h"
#include "model/catalog_update.h"
#include "model/catalog_verify.h"
#include "model/medium_match.h"
#include "model/scan.h"
#include "model/set_extension.h"
#include "model/set_file.h"
#include "model/work_progress.h"
#include "platform/cp932_codec.h"

namespace {

std::string ToUtf8(const wxString& text) { return text.utf8_string(); }

bool Confirm(const std::string& text, wxWindow* parent) {
  return AppMessageBox(text, wxOK | wxCANCEL | wxICON_QUESTION, parent) == wxOK;
}

// Adds line to text on a line of its own.
void AppendLine(std::string& text, const std::string& line) {
  if (line.empty()) return;
  if (!text.empty()) text += '\n';
  text += line;
}

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CExplorerApDoc, wxDocument);

wxBEGIN_EVENT_TABLE(CExplorerApDoc, wxDocument)
  EVT_MENU(ID_ADD_CATALOG, CExplorerApDoc::OnAddCatalog)
  EVT_MENU_RANGE(ID_SORT_BY_NAME, ID_SORT_BY_NOTE, CExplorerApDoc::OnSortCommand)
  EVT_MENU(ID_SELECT_ALL, CExplorerApDoc::OnSelectAll)
  EVT_MENU(ID_HELP_CONTENTS, CExplorerApDoc::OnHelpContents)
  EVT_MENU(ID_OUTPUT_CATALOG_SET, CExplorerApDoc::OnOutputCatalogSet)
  EVT_MENU(ID_EXPORT_LIST, CExplorerApDoc::OnExportList)
  EVT_MENU(ID_EXCLUDE_PATTERNS, CExplorerApDoc::OnExcludePatterns)
  EVT_MENU(ID_FIND_DUPLICATES, CExplorerApDoc::OnFindCopies)
  EVT_MENU(ID_FIND_FEW_COPIES, CExplorerApDoc::OnFindCopies)
  EVT_UPDATE_UI(ID_ADD_CATALOG, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI_RANGE(ID_SORT_BY_NAME, ID_SORT_BY_NOTE, CExplorerApDoc::OnUpdateSort)
  EVT_UPDATE_UI(ID_SELECT_ALL, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI(ID_HELP_CONTENTS, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI(ID_OUTPUT_CATALOG_SET, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI(ID_EXPORT_LIST, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI(ID_EXCLUDE_PATTERNS, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI(ID_FIND_DUPLICATES, CExplorerApDoc::OnUpdateEnabled)
  EVT_UPDATE_UI(ID_FIND_FEW_COPIES, CExplorerApDoc::OnUpdateEnabled)
wxEND_EVENT_TABLE()

int SortColumnForCommand(int id) {
  switch (id) {
    case ID_SORT_BY_NAME: return 0;
    case ID_SORT_BY_SIZE: return 1;
    case ID_SORT_BY_TYPE: return 2;
    case ID_SORT_BY_DATE: return 3;
    case ID_SORT_BY_NOTE: return 4;
  }
  return -1;
}

CExplorerApDoc::CExplorerApDoc() = default;
CExplorerApDoc::~CExplorerApDoc() = default;

// ---------------------------------------------------------------------------
// New, open, save

bool CExplorerApDoc::OnCreate(const wxString& path, long flags) {
  // Until the main frame exists the template names no view to make.
  if (!GetDocumentTemplate() || !GetDocumentTemplate()->GetViewClassInfo()) return true;
  return wxDocument::OnCreate(path, flags);
}

bool CExplorerApDoc::OnSaveModified() {
  m_bChangesDiscarded = false;
  if (!IsModified()) return true;
  switch (AppMessageBox(SaveChangesPrompt(ToUtf8(GetUserReadableName())), wxYES_NO | wxCANCEL | wxICON_QUESTION,
                        GetDialogParent())) {
    case wxYES: return Save();
    case wxNO:
      Modify(false);
      m_bChangesDiscarded = true;
      return true;
    default: return false;
  }
}

bool CExplorerApDoc::DeleteContents() {
  m_pRoot.reset();
  return true;
}

bool CExplorerApDoc::OnNewDocument() {
  if (!OnSaveModified()) return false;
  DeleteContents();
  m_nSortColumn = 0;
  m_bSortAscending = true;
  m_pRoot = std::make_unique<CRootFileInfo>(MakeSetName(std::string()));
  m_onDisk.reset();
  // A new set has no file; its title is the framework's name for that.
  SetFilename(wxString(), true);
  SetTitle(GetDocumentManager() ? GetDocumentManager()->MakeNewDocumentName() : wxString());
  Modify(false);
  SetDocumentSaved(false);
  UpdateAllViews();  // the initial update: views rebuild from scratch
  return true;
}

bool CExplorerApDoc::OnOpenDocument(const wxString& file) {
  const bool wasModified = IsModified();
  if (!OnSaveModified()) return false;
  const std::string path = PathFromWx(file);
  std::unique_ptr<CRootFileInfo> set;
  ESetFileError error = ESetFileError::ReadFailure;
  CWorkProgress progress;
  RunWithWorkProgress(GetDialogParent(), kOpeningCaption, wxFileNameFromPath(file).utf8_string(), progress,
                      [&] { error = ReadSetFile(path, set, &progress); });
  if (error != ESetFileError::None || !set) {
    // The current set stays; changes the user chose not to save are still
    // unsaved.
    if (wasModified && m_bChangesDiscarded) Modify(true);
    AppMessageBox(SetFileErrorMessage(error == ESetFileError::None ? ESetFileError::EmptyFile : error, path, false),
                  wxOK | wxICON_EXCLAMATION, GetDialogParent());
    return false;
  }
  DeleteContents();
  m_pRoot = std::move(set);
  RememberOnDisk(path);
  m_nSortColumn = 0;
  m_bSortAscending = true;
  SetFilename(file, true);
  SetTitle(PathForDisplay(wxFileNameFromPath(file)));
  Modify(false);
  SetDocumentSaved(true);
  m_pRoot->m_strSetName = SanitizeUtf8(MakeSetName(path));
  CUpdateHint nameHint(HINT_SET_NAME);
  SendHint(nameHint);
  UpdateAllViews();  // the initial update
  const std::string notice = RecordsNotice(m_pRoot->m_extensionState, m_pRoot->m_extensionDamage);
  if (!notice.empty()) AppMessageBox(notice, wxOK | wxICON_INFORMATION, GetDialogParent());
  return true;
}

bool CExplorerApDoc::OnSaveDocument(const wxString& file) {
  if (file.empty() || !m_pRoot) return false;
  // Records that did not read are gone from any file this writes.
  const bool dropsRecords = SaveDropsRecords(m_pRoot->m_extensionState);
  if (dropsRecords && !Confirm(DropRecordsPrompt(m_pRoot->m_extensionState), GetDialogParent())) return false;
  const std::string path = PathFromWx(file);
  // The version this save may replace: the one read, or one the user chose
  // to overwrite. Checked again under the lock, just before the replace.
  std::optional<CFileIdentity> replaceable;
  if (path == PathFromWx(GetFilename())) replaceable = m_onDisk;
  ESetFileError error = ESetFileError::ChangedOnDisk;
  while (error == ESetFileError::ChangedOnDisk) {
    CFileIdentity now;
    if (replaceable && GetFileIdentity(path, now) && now != *replaceable) {
      if (AppMessageBox(ChangedOnDiskPrompt(path), wxYES_NO | wxICON_EXCLAMATION, GetDialogParent()) != wxYES)
        return false;
      replaceable = now;
    }
    CWorkProgress progress;
    std::atomic<bool> cancel{false};
    progress.pCancel = &cancel;
    CSaveOptions options;
    options.pReplaceable = replaceable ? &*replaceable : nullptr;
    RunWithWorkProgress(
        GetDialogParent(), kSavingCaption, wxFileNameFromPath(file).utf8_string(), progress,
        [&] { error = WriteSetFile(path, *m_pRoot, &progress, options); }, &cancel);
  }
  if (error != ESetFileError::None) {
    // The old file is untouched and the document keeps its old name, so the
    // next save goes where the set really lives.
    AppMessageBox(SetFileErrorMessage(error, path, true), wxOK | wxICON_EXCLAMATION, GetDialogParent());
    return false;
  }
  RememberOnDisk(path);
  if (dropsRecords) {
    // The file now holds what the set holds: the next save loses nothing.
    m_pRoot->m_extensionState = EExtensionState::Loaded;
    m_pRoot->m_extensionDamage = {};
  }
  Modify(false);
  SetFilename(file, true);
  SetTitle(PathForDisplay(wxFileNameFromPath(file)));
  SetDocumentSaved(true);
  m_pRoot->m_strSetName = SanitizeUtf8(MakeSetName(path));
  CUpdateHint nameHint(HINT_SET_NAME);
  SendHint(nameHint);
  return true;
}

void CExplorerApDoc::RememberOnDisk(const std::string& path) {
  CFileIdentity identity;
  if (GetFileIdentity(path, identity))
    m_onDisk = identity;
  else
    m_onDisk.reset();
}

bool CExplorerApDoc::SaveAs() {
  wxString defaultName = wxFileNameFromPath(GetFilename());
  if (defaultName.empty()) defaultName = GetTitle() + SetFileExtension();
  wxFileDialog dialog(GetDialogParent(), wxString::FromUTF8("名前を付けて保存"), wxPathOnly(GetFilename()), defaultName,
                      SetFileDialogFilter(), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return false;
  wxString path = dialog.GetPath();
  if (path.empty()) return false;
  if (wxFileName(path).GetExt().empty()) path += SetFileExtension();
  return SaveAsPath(path);
}

bool CExplorerApDoc::SaveAsPath(const wxString& file) {
  if (!OnSaveDocument(file)) return false;
  if (wxDocManager* manager = GetDocumentManager()) manager->AddFileToHistory(file);
  return true;
}

// ---------------------------------------------------------------------------
// Catalogs

void CExplorerApDoc::OnAddCatalog(wxCommandEvent&) { AddCatalog(); }

bool CExplorerApDoc::AskCatalogLabel(const std::vector<std::string>& paths, std::string& label, CAddChoices& choices) {
  CAppSettings* settings = GetAppSettings();
  CLabelDlg dialog(GetDialogParent(), SuggestedCatalogLabel(paths), settings && settings->GetHashContents(),
                   settings && settings->GetListArchives());
  if (dialog.ShowModal() != wxID_OK) return false;
  label = dialog.GetCatalogLabel();
  choices.bHash = dialog.GetHashContents();
  choices.bArchives = dialog.GetListArchives();
  if (settings) {
    settings->SaveHashContents(choices.bHash);
    settings->SaveListArchives(choices.bArchives);
  }
  return true;
}

int CExplorerApDoc::FinishAdd(const CDriveFileInfo* added) {
  if (!added) {
    AppMessageBox(kAddRefused, wxOK | wxICON_EXCLAMATION, GetDialogParent());
    return 0;
  }
  CUpdateHint hint(HINT_REBUILD);
  SendHint(hint);
  Modify(true);
  return 1;
}

EScanStatus CExplorerApDoc::ScanWithProgress(const char* caption,
                                             const std::function<EScanStatus(const CScanOptions& options)>& scan) {
  CScanProgress progress;
  std::atomic<bool> cancel{false};
  CScanOptions options;
  options.pProgress = &progress;
  options.pCancel = &cancel;
  EScanStatus status = EScanStatus::Cancelled;
  RunScanInBackground(GetDialogParent(), caption, progress, cancel, [&] { status = scan(options); });
  return cancel.load() ? EScanStatus::Cancelled : status;
}

int CExplorerApDoc::ScanAndAdd(const std::string& label, const std::vector<std::string>& paths,
                               const CAddChoices& choices) {
  // Refused before the scan rather than after it.
  if (FindByPath(static_cast<const CFileInfo*>(m_pRoot.get()), label) != nullptr) return FinishAdd(nullptr);
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  const CAppSettings* settings = GetAppSettings();
  const std::vector<std::string> excludes = settings ? settings->GetExcludePatterns() : std::vector<std::string>();
  std::vector<std::string> unhashed, unlisted;
  const EScanStatus status = ScanWithProgress(kScanCaption, [&](const CScanOptions& options) {
    CScanOptions chosen = options;
    chosen.excludes = excludes;
    chosen.bHashContents = choices.bHash;
    chosen.nArchiveDepth = choices.bArchives ? 1 : 0;
    return MakeCatalog(label, paths, chosen, catalog, message, &unhashed, &unlisted);
  });
  if (status != EScanStatus::Done) message = ScanStatusMessage(status, kScanCancelled);
  if (status == EScanStatus::Done) message += UnreadableText(CollectUnreadable(*catalog, label));
  AppendLine(message, UnhashedText(unhashed));
  AppendLine(message, UnlistedText(unlisted));
  const CDriveFileInfo* added =
      status == EScanStatus::Done ? m_pRoot->AppendCatalog(std::move(catalog), std::time(nullptr)) : nullptr;
  if (!message.empty()) AppMessageBox(message, wxOK | wxICON_EXCLAMATION, GetDialogParent());
  return added ? FinishAdd(added) : 0;
}

int CExplorerApDoc::AddCatalog() {
  if (!m_pRoot) return 0;
  std::string path;
  if (!BrowseForLocation(kBrowseTitle, path, GetDialogParent(), PickerStartFolder())) return 0;
  std::string label;
  CAddChoices choices;
  if (!AskCatalogLabel({path}, label, choices)) return 0;
  return ScanAndAdd(label, {path}, choices);
}

void CExplorerApDoc::OnDropFiles(const wxArrayString& files) {
  std::vector<std::string> paths;
  for (const wxString& file : files) paths.push_back(PathFromWx(file));
  AddCatalogFromFiles(paths);
}

int CExplorerApDoc::AddCatalogFromFiles(const std::vector<std::string>& paths) {
  if (!m_pRoot || paths.empty()) return 0;
  if (wxWindow* top = wxGetTopLevelParent(GetDialogParent())) top->Raise();
  if (!Confirm(kConfirmDrop, GetDialogParent())) return 0;
  std::string label;
  CAddChoices choices;
  if (!AskCatalogLabel(paths, label, choices)) return 0;
  return ScanAndAdd(label, paths, choices);
}

void CExplorerApDoc::OnExcludePatterns(wxCommandEvent&) { EditExcludePatterns(); }

bool CExplorerApDoc::EditExcludePatterns() {
  CAppSettings* settings = GetAppSettings();
  CExcludePatternsDlg dialog(GetDialogParent(), settings ? settings->GetExcludePatterns() : std::vector<std::string>());
  if (dialog.ShowModal() != wxID_OK) return false;
  if (settings) settings->SaveExcludePatterns(dialog.GetPatterns());
  return true;
}

int CExplorerApDoc::DeleteCatalog(const std::string& name) {
  if (!m_pRoot) return 0;
  if (!Confirm(DeleteCatalogPrompt(name), GetDialogParent())) return 0;
  const int removed = m_pRoot->RemoveCatalog(name);
  if (removed) {
    CUpdateHint hint(HINT_REBUILD);
    SendHint(hint);
    // Only a removal changes the set; a name that is no catalog leaves it
    // as it was.
    Modify(true);
  }
  return removed;
}

bool CExplorerApDoc::LocateMedium(const CDriveFileInfo& catalog, const std::string& name, bool verifying,
                                  std::string& place) {
  place = catalog.m_strCatalogedPath;
  // The medium moved (another mount point, another machine): the user says where it is now.
  if (!CatalogPlacePresent(catalog) &&
      !BrowseForLocation(UpdatePlaceTitle(name), place, GetDialogParent(), NearestExistingFolder(place)))
    return false;
  const CMediumVerdict verdict = JudgeMedium(catalog, place);
  return !verdict.Refused() || Confirm(MediumMismatchPrompt(name, verdict, verifying), GetDialogParent());
}

int CExplorerApDoc::UpdateCatalog(const std::string& name) {
  const CDriveFileInfo* found = m_pRoot ? FindCatalog(*m_pRoot, name) : nullptr;
  if (found != nullptr && !IsCatalogOfSet(*m_pRoot, *found)) {
    AppMessageBox(kNestedCatalogUpdate, wxOK | wxICON_EXCLAMATION, GetDialogParent());
    return 0;
  }
  std::string place;
  if (found == nullptr || !LocateMedium(*found, name, false, place)) return 0;
  const CDriveFileInfo& catalog = *found;
  std::unique_ptr<CDriveFileInfo> fresh;
  std::string message;
  std::vector<std::string> unhashed, unlisted;
  const EScanStatus status = ScanWithProgress(kUpdateCaption, [&](const CScanOptions& options) {
    return ScanForUpdate(catalog, place, RecordedScanOptions(catalog, options), fresh, message, nullptr, &unhashed,
                         &unlisted);
  });
  if (status != EScanStatus::Done) message = ScanStatusMessage(status, kUpdateCancelled);
  if (status == EScanStatus::Done) {
    AppendLine(message, UnhashedText(unhashed));
    AppendLine(message, UnlistedText(unlisted));
  }
  if (!message.empty()) AppMessageBox(message, wxOK | wxICON_EXCLAMATION, GetDialogParent());
  if (status != EScanStatus::Done) return 0;
  const CUpdateSummary summary = CompareCatalogs(catalog, *fresh);
  CUpdateSummaryDlg dialog(GetDialogParent(), name, summary);
  if (dialog.ShowModal() != wxID_OK) return 0;
  if (!ApplyCatalogUpdate(*m_pRoot, catalog, std::move(fresh), std::time(nullptr))) return 0;
  CUpdateHint hint(HINT_REBUILD);
  SendHint(hint);
  Modify(true);
  return 1;
}

void CExplorerApDoc::VerifyCatalog(const std::string& name) {
  const CDriveFileInfo* catalog = m_pRoot ? FindCatalog(*m_pRoot, name) : nullptr;
  std::string place;
  if (catalog == nullptr || !LocateMedium(*catalog, name, true, place)) return;
  CVerifyResult result;
  std::string message;
  const EScanStatus status = ScanWithProgress(kVerifyCaption, [&](const CScanOptions& options) {
    return ::VerifyCatalog(*catalog, place, options, result, message);
  });
  if (status != EScanStatus::Done) message = ScanStatusMessage(status, kVerifyCancelled);
  if (!message.empty()) AppMessageBox(message, wxOK | wxICON_EXCLAMATION, GetDialogParent());
  if (status != EScanStatus::Done) return;
  std::string chosen;
  {
    CVerifyResultDlg dialog(GetDialogParent(), name, result);
    if (dialog.ShowModal() == wxID_OK) chosen = dialog.GetSelectedPath();
  }
  if (!chosen.empty()) GoToItem(NearestHeldPath(*m_pRoot, chosen));
}

std::string NearestHeldPath(const CRootFileInfo& set, std::string path) {
  while (!path.empty() && FindByPath(static_cast<const CFileInfo*>(&set), path) == nullptr) {
    const std::size_t separator = path.rfind('\\');
    path.resize(separator == std::string::npos ? 0 : separator);
  }
  return path;
}

// ---------------------------------------------------------------------------
// Notes, properties, search

int CExplorerApDoc::EditNote(const std::string& path) {
  if (!m_pRoot) return 0;
  const std::vector<std::string> paths{path};
  std::string note;
  {
    CNoteEditDlg dialog(GetDialogParent(), &paths, this);
    if (dialog.ShowModal() != wxID_OK) return 0;
    note = dialog.GetNote();
  }
  const int changed = m_pRoot->SetNote(path, note);
  CNoteHint hint(path, note);
  SendHint(hint);
  if (changed) Modify(true);
  return changed;
}

int CExplorerApDoc::EditNotes(const std::vector<std::string>& paths, std::optional<std::string> note) {
  if (!m_pRoot) return 0;
  if (!note) {
    CNoteEditDlg dialog(GetDialogParent(), &paths, this);
    if (dialog.ShowModal() != wxID_OK) return 0;
    note = dialog.GetNote();
  }
  const int changed = m_pRoot->SetNotes(paths, *note);
  if (changed) {
    for (const std::string& path : paths) {
      CNoteHint hint(path, *note);
      SendHint(hint);
    }
    Modify(true);
  }
  return changed;
}

void CExplorerApDoc::ShowProperties(const std::string& path) { ShowProperties(std::vector<std::string>{path}); }

void CExplorerApDoc::ShowProperties(const std::vector<std::string>& paths) {
  if (!m_pRoot || paths.empty()) return;
  CPropInfoData info;
  m_pRoot->GetSelectionInfo(paths, info);
  std::string newNote;
  {
    CPropInfoSheet sheet(kPropertiesCaption, &info, GetDialogParent());
    if (sheet.ShowModal() != wxID_OK || !sheet.IsNoteEdited()) return;
    newNote = sheet.GetNewNote();
  }
  if (paths.size() > 1 && !Confirm(kConfirmSeveralNotes, GetDialogParent())) return;
  EditNotes(paths, newNote);
}

void CExplorerApDoc::SearchFrom(const std::string& path) {
  if (!m_pRoot) return;
  CItemSummaryList results;  // its records go with it, whatever happens
  {
    CSearchSheet sheet(GetDialogParent(), kSearchCaption, path, *this, results);
    CAppSettings* settings = GetAppSettings();
    CSearchOptions options = settings ? settings->GetSearchOptions() : CSearchOptions();
    sheet.GetNamePage()->SetTextOptions(options.name);
    sheet.GetNotePage()->SetTextOptions(options.note);
    if (sheet.ShowModal() != wxID_OK) return;
    options.name = sheet.GetNamePage()->GetTextOptions();
    options.note = sheet.GetNotePage()->GetTextOptions();
    if (settings) settings->SaveSearchOptions(options);
  }
  std::string chosen;
  {
    CSearchResultDlg dialog(GetDialogParent(), results);
    if (dialog.ShowModal() == wxID_OK) chosen = dialog.GetSelectedPath();
  }
  if (!chosen.empty()) GoToItem(chosen);
}

void CExplorerApDoc::GoToItem(const std::string& path) {
  std::unique_ptr<CItemSummary> item = m_pRoot->GetItemSummary(path);
  if (!item) return;
  CItemHint hint(HINT_GO_TO_ITEM, item.get());
  SendHint(hint);
}

// ---------------------------------------------------------------------------
// Clipboard, sorting, help

void CExplorerApDoc::CopyTextToClipboard(const std::string& text) {
  bool copied = false;
  if (wxTheClipboard->Open()) {
    wxTheClipboard->Clear();
    // Once handed over, the data object belongs to the clipboard.
    copied = wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
    wxTheClipboard->Close();
  }
  if (!copied) AppMessageBox(kClipboardFailed, wxOK | wxICON_EXCLAMATION, GetDialogParent());
}

void CExplorerApDoc::SetSortColumn(int nColumn) {
  m_nSortColumn = nColumn;
  CUpdateHint hint(HINT_SORT_CHANGED);
  SendHint(hint);
}

void CExplorerApDoc::SelectAll() {
  CUpdateHint hint(HINT_SELECT_ALL);
  SendHint(hint);
}

void CExplorerApDoc::OnSortCommand(wxCommandEvent& event) {
  const int column = SortColumnForCommand(event.GetId());
  if (column >= 0) SetSortColumn(column);
}

void CExplorerApDoc::OnSelectAll(wxCommandEvent&) { SelectAll(); }

void CExplorerApDoc::OnHelpContents(wxCommandEvent&) { OpenHelpContents(GetDialogParent()); }

void CExplorerApDoc::OnUpdateEnabled(wxUpdateUIEvent& event) { event.Enable(true); }

void CExplorerApDoc::OnUpdateSort(wxUpdateUIEvent& event) {
  event.Enable(true);
  event.Check(SortColumnForCommand(event.GetId()) == m_nSortColumn);
}

// ---------------------------------------------------------------------------
// Forwarders

void CExplorerApDoc::GetNote(const std::string& path, std::string& out) {
  if (m_pRoot) m_pRoot->GetNote(path, out);
}

void CExplorerApDoc::GetCommonNote(const std::vector<std::string>& paths, std::string& out) {
  if (m_pRoot) m_pRoot->GetCommonNote(paths, out);
}

int CExplorerApDoc::FindByName(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                               CItemSummaryList& out, const CTextOptions& options) {
  return m_pRoot ? m_pRoot->FindByName(path, pattern, exact, caseSensitive, out, options) : 0;
}

int CExplorerApDoc::FindByNote(const std::string& path, const std::string& pattern, bool exact, bool caseSensitive,
                               CItemSummaryList& out, const CTextOptions& options) {
  return m_pRoot ? m_pRoot->FindByNote(path, pattern, exact, caseSensitive, out, options) : 0;
}

int CExplorerApDoc::FindBySize(const std::string& path, std::uint32_t lowerKB, std::uint32_t upperKB,
                               CItemSummaryList& out) {
  return m_pRoot ? m_pRoot->FindBySize(path, lowerKB, upperKB, out) : 0;
}

int CExplorerApDoc::FindByDate(const std::string& path, std::optional<CTime> lower, std::optional<CTime> upper,
                               CItemSummaryList& out) {
  return m_pRoot ? m_pRoot->FindByDate(path, lower, upper, out) : 0;
}

std::string CExplorerApDoc::GetSetName() const { return m_pRoot ? m_pRoot->m_strSetName : std::string(); }

int CExplorerApDoc::GetSetIconIndex(bool large) const {
  // Without a cache (no window yet): the fixed images' places in the lists.
  const CIconIndexSource* source = GetIconIndexSource();
  return source ? source->GetCatalogSetIndex(large) : 3;
}

int CExplorerApDoc::GetIconIndex(const std::string& name, bool isFolder, bool isCatalog, bool large) const {
  CIconIndexSource* source = GetIconIndexSource();
  if (source) return source->GetImageIndex(name, isFolder, isCatalog, large);
  return isCatalog ? 2 : isFolder ? 1 : 0;
}

// ---------------------------------------------------------------------------

void CExplorerApDoc::SendHint(CUpdateHint& hint) { UpdateAllViews(nullptr, &hint); }

wxWindow* CExplorerApDoc::GetDialogParent() const {
  // With no view yet the framework falls back to the application's top
  // window, which may be none at all.
  return GetDocumentWindow();
}
