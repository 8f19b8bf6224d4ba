#include "document/list_export_command.h"

#include <wx/filename.h>

#include <atomic>

#include "dialogs/export_dlg.h"
#include "dialogs/file_filter.h"
#include "dialogs/message_box.h"
#include "document/background_work.h"
#include "document/catalog_output.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "model/list_export.h"
#include "model/root_file_info.h"
#include "platform/atomic_file.h"

namespace {

const char kExportCaption[] = "エクスポートしています";

}  // namespace

const char* ListFileExtension(EListFormat format) {
  switch (format) {
    case EListFormat::Tsv: return ".tsv";
    case EListFormat::Efu: return ".efu";
    case EListFormat::Jsonl: return ".jsonl";
    case EListFormat::Csv:
    case EListFormat::Find: break;
  }
  return ".csv";
}

std::string ListFileWildcard(EListFormat format) {
  const std::string extension = ListFileExtension(format);
  std::string upper = extension.substr(1);
  for (char& c : upper) c = char(c - 'a' + 'A');
  return ToWxWildcard(upper + " ファイル|*" + extension + "|すべてのファイル|*.*||");
}

bool ExportItemList(const CRootFileInfo& set, wxWindow* parent, const std::string& setPath) {
  CItemSummaryList catalogs;
  set.ListChildren(std::string(), catalogs, false);
  std::vector<std::string> names;
  for (const auto& catalog : catalogs) names.push_back(catalog->m_strName);

  bool allCatalogs = true;
  std::vector<std::string> chosen;
  CListStyle style(EListFormat::Csv);
  {
    CExportDlg dialog(parent, names);
    if (dialog.ShowModal() != wxID_OK) return false;
    allCatalogs = dialog.IsAllCatalogs();
    chosen = dialog.GetChosenCatalogs();
    style = dialog.GetStyle();
  }

  CPropInfoData info;
  set.GetSelectionInfo({std::string()}, info);
  const char* extension = ListFileExtension(style.eFormat);
  std::string path;
  if (!AskSavePath(parent, info.m_strName + extension, ListFileWildcard(style.eFormat), extension, path)) return false;
  return WriteWithProgress(parent, path, setPath, {kExportCaption, kExportOverSet, kExportCancelled, kExportFailed},
                           [&](CWorkProgress& progress) {
                             return WriteItemListFile(path, set, allCatalogs ? nullptr : &chosen, style, nullptr,
                                                      &progress);
                           });
}

// The document's handler of the command, kept with the command.
void CExplorerApDoc::OnExportList(wxCommandEvent&) {
  if (m_pRoot) ExportItemList(*m_pRoot, GetDialogParent(), GetFilename().utf8_string());
}
