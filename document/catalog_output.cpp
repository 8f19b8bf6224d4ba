#include "document/catalog_output.h"

#include <sys/stat.h>

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <atomic>
#include <vector>

#include "dialogs/catalog_out_dlg.h"
#include "dialogs/file_filter.h"
#include "dialogs/message_box.h"
#include "document/app_settings.h"
#include "document/background_work.h"
#include "document/doc_messages.h"
#include "document/explorer_ap_doc.h"
#include "model/root_file_info.h"
#include "model/work_progress.h"
#include "platform/atomic_file.h"
#include "platform/path_separator.h"

namespace {

const char kReportFilter[] = "HTML ファイル|*.htm; *.html|すべてのファイル|*.*||";
const char kReportExtension[] = ".htm";

bool Exists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0;
}

}  // namespace

bool AskSavePath(wxWindow* parent, const std::string& defaultName, const std::string& wildcard, const char* extension,
                 std::string& path) {
  wxFileDialog dialog(parent, wxString::FromUTF8("名前を付けて保存"), wxString(), wxString::FromUTF8(defaultName),
                      wxString::FromUTF8(wildcard), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return false;
  // GTK reports the chosen file only once its folder has been read; until
  // then folder and name still tell it.
  wxString chosen = dialog.GetPath();
  if (chosen.empty() && !dialog.GetFilename().empty())
    chosen = wxFileName(dialog.GetDirectory(), dialog.GetFilename()).GetFullPath();
  if (chosen.empty()) return false;
  const std::string named = chosen.utf8_string();
  path = WithExtension(named, extension);
  if (path != named && Exists(path)) {
    const std::string question =
        wxFileNameFromPath(wxString::FromUTF8(path)).utf8_string() + " は既に存在します。\n上書きしますか?";
    if (AppMessageBox(question, wxOK | wxCANCEL | wxICON_QUESTION, parent) != wxOK) return false;
  }
  return true;
}

bool OutputCatalogSet(const CRootFileInfo& set, CAppSettings* settings, wxWindow* parent, const std::string& setPath) {
  CItemSummaryList catalogs;
  set.ListChildren(std::string(), catalogs, false);
  std::vector<std::string> names;
  for (const auto& catalog : catalogs) names.push_back(catalog->m_strName);

  CatalogOutOptions options = settings ? settings->GetOutputOptions() : CatalogOutOptions();
  bool allCatalogs = true;
  std::vector<std::string> chosen;
  {
    CCatalogOutDlg dialog(parent, names, options);
    if (dialog.ShowModal() != wxID_OK) return false;
    allCatalogs = dialog.IsAllCatalogs();
    chosen = dialog.GetChosenCatalogs();
    options = dialog.GetOptions();
  }

  CPropInfoData info;
  set.GetSelectionInfo({std::string()}, info);
  std::string path;
  if (!AskSavePath(parent, DefaultReportFileName(info.m_strName), ReportFileWildcard(), kReportExtension, path))
    return false;
  const bool written = WriteWithProgress(
      parent, path, setPath, {kReportCaption, kReportOverSet, kReportCancelled, kReportFailed},
      [&](CWorkProgress& progress) {
        return set.WriteHtmlReport(path, allCatalogs ? nullptr : &chosen, options, nullptr, &progress);
      });
  if (settings) settings->SaveOutputOptions(options);
  return written;
}

// The document's handler of the command, kept with the command.
void CExplorerApDoc::OnOutputCatalogSet(wxCommandEvent&) {
  if (m_pRoot) OutputCatalogSet(*m_pRoot, GetAppSettings(), GetDialogParent(), GetFilename().utf8_string());
}

bool WriteWithProgress(wxWindow* parent, const std::string& path, const std::string& setPath,
                       const CFileOutputTexts& texts, const std::function<bool(CWorkProgress& progress)>& write) {
  // The save dialog's question was about replacing a file, not the set itself.
  if (!setPath.empty() && IsSameFile(path, setPath)) {
    AppMessageBox(texts.pszOverSet, wxOK | wxICON_EXCLAMATION, parent);
    return false;
  }
  bool written = false;
  std::atomic<bool> cancel{false};
  CWorkProgress progress;
  progress.pCancel = &cancel;
  RunWithWorkProgress(
      parent, texts.pszCaption, wxFileNameFromPath(wxString::FromUTF8(path)).utf8_string(), progress,
      [&] { written = write(progress); }, &cancel);
  // Cancelled too late, the file was written all the same.
  if (!written && cancel.load())
    AppMessageBox(texts.pszCancelled, wxOK | wxICON_INFORMATION, parent);
  else if (!written)
    AppMessageBox(texts.pszFailed, wxOK | wxICON_EXCLAMATION, parent);
  return written;
}

std::string DefaultReportFileName(const std::string& setName) { return setName + "の情報.htm"; }

std::string ReportFileWildcard() { return ToWxWildcard(kReportFilter); }

std::string WithReportExtension(const std::string& path) { return WithExtension(path, kReportExtension); }

std::string WithExtension(const std::string& path, const char* extension) {
  const std::size_t slash = path.find_last_of(kPathSeparators);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // A leading dot starts a hidden name, not an extension; a trailing one
  // asks for the extension to be added to it.
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return path + extension;
  if (dot + 1 == name.size()) return path + (extension + 1);
  return path;
}
