#include "document/copies_command.h"

#include <wx/filehistory.h>
#include <wx/filename.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "dialogs/copies_dlg.h"
#include "dialogs/copies_result_dlg.h"
#include "dialogs/copy_rows.h"
#include "dialogs/message_box.h"
#include "document/background_work.h"
#include "document/command_ids.h"
#include "document/doc_messages.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"
#include "model/set_file.h"
#include "model/work_progress.h"
#include "platform/atomic_file.h"

namespace {

std::string FileName(const std::string& path) { return wxFileNameFromPath(wxString::FromUTF8(path)).utf8_string(); }

// Reads another set to compare with; null when it cannot, having said why.
std::unique_ptr<CRootFileInfo> LoadOtherSet(const std::string& path, const std::string& setPath, wxWindow* parent) {
  if (!setPath.empty() && (path == setPath || IsSameFile(path, setPath))) {
    AppMessageBox(kCopiesSameSet, wxOK | wxICON_EXCLAMATION, parent);
    return nullptr;
  }
  std::unique_ptr<CRootFileInfo> set;
  ESetFileError error = ESetFileError::ReadFailure;
  CWorkProgress progress;
  RunWithWorkProgress(parent, kOpeningCaption, FileName(path), progress,
                      [&] { error = ReadSetFile(path, set, &progress); });
  if (error != ESetFileError::None || !set) {
    AppMessageBox(SetFileErrorMessage(error == ESetFileError::None ? ESetFileError::EmptyFile : error, path, false),
                  wxOK | wxICON_EXCLAMATION, parent);
    return nullptr;
  }
  return set;
}

}  // namespace

std::string FindCopies(const CRootFileInfo& set, bool fewCopies, wxWindow* parent, const std::string& setPath,
                       const std::vector<std::string>& recentSets) {
  CCopiesDlgSetup setup;
  setup.bFewCopies = fewCopies;
  setup.pOpenSet = &set;
  for (const std::string& path : recentSets)
    if (path != setPath) setup.recentSets.push_back(path);
  setup.strWildcard = SetFileDialogFilter().utf8_string();
  setup.loadSet = [&](const std::string& path) { return LoadOtherSet(path, setPath, parent); };

  CCopyOptions options;
  std::uint32_t fewerThan = 2;
  std::vector<std::uint32_t> chosen;
  std::vector<std::string> names{std::string()};
  std::vector<std::unique_ptr<CRootFileInfo>> others;
  {
    CCopiesDlg dialog(parent, std::move(setup));
    if (dialog.ShowModal() != wxID_OK) return {};
    options = dialog.GetOptions();
    fewerThan = dialog.GetFewerThan();
    chosen = dialog.GetChosenCatalogs();
    const std::vector<std::string> paths = dialog.GetOtherSetPaths();
    std::vector<std::unique_ptr<CRootFileInfo>> taken = dialog.TakeOtherSets();
    // One file added twice (by a link, say) is one set: read twice, its
    // catalogs would be two media and every file would look backed up.
    std::vector<std::string> kept{setPath};
    for (std::size_t i = 0; i < paths.size() && i < taken.size(); ++i) {
      const auto same = [&](const std::string& earlier) {
        return !earlier.empty() && (earlier == paths[i] || IsSameFile(earlier, paths[i]));
      };
      if (std::any_of(kept.begin(), kept.end(), same)) continue;
      kept.push_back(paths[i]);
      names.push_back(FileName(paths[i]));
      others.push_back(std::move(taken[i]));
    }
  }
  std::vector<const CRootFileInfo*> sets{&set};
  for (const auto& other : others) sets.push_back(other.get());

  CCopyIndex index;
  CCopyResults results(index, names, options.eBy);
  std::atomic<bool> cancel{false};
  CWorkProgress progress;
  progress.pCancel = &cancel;
  bool built = false;
  RunWithWorkProgress(
      parent, kCopiesCaption, kCopiesMessage, progress,
      [&] {
        built = index.Build(sets, options, &cancel);
        if (!built) return;
        if (fewCopies)
          results.SetFewCopies(FindFewCopies(index, chosen, fewerThan));
        else
          results.SetDuplicates(FindDuplicates(index));
      },
      &cancel);
  if (!built) {
    AppMessageBox(kCopiesCancelled, wxOK | wxICON_INFORMATION, parent);
    return {};
  }
  CCopiesResultDlg dialog(parent, results);
  return dialog.ShowModal() == wxID_OK ? dialog.GetSelectedPath() : std::string();
}

// The document's handler of both commands, kept with them.
void CExplorerApDoc::OnFindCopies(wxCommandEvent& event) {
  if (!m_pRoot) return;
  std::vector<std::string> recent;
  if (wxFileHistory* history = GetDocumentManager() ? GetDocumentManager()->GetFileHistory() : nullptr)
    for (size_t i = 0; i < history->GetCount(); ++i) recent.push_back(history->GetHistoryFile(i).utf8_string());
  const std::string chosen =
      FindCopies(*m_pRoot, event.GetId() == ID_FIND_FEW_COPIES, GetDialogParent(), GetFilename().utf8_string(), recent);
  if (chosen.empty()) return;
  std::unique_ptr<CItemSummary> item = m_pRoot->GetItemSummary(chosen);
  if (!item) return;
  CItemHint hint(HINT_GO_TO_ITEM, item.get());
  SendHint(hint);
}
