#include "document/cataloged_file_opener.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "dialogs/locate_file_dlg.h"
#include "dialogs/message_box.h"
#include "dialogs/select_app_dlg.h"
#include "document/app_launcher.h"
#include "document/app_settings.h"
#include "document/explorer_ap_doc.h"
#include "model/item_real_name.h"
#include "model/root_file_info.h"
#include "platform/path_separator.h"

namespace {

// A component that cannot come from a scan; taken literally it would lead
// out of the catalog's folder.
bool IsBadComponent(const std::string& component) {
  return component.empty() || component == "." || component == "..";
}

// The application dialog for a file nothing is associated with; true when
// the chosen program started. A program started for the first time goes to
// the front of the remembered list.
bool OpenWithChosenApplication(const std::string& path, wxWindow* parent, CAppSettings* settings,
                               CAppLauncher& launcher) {
  const std::vector<std::string> apps = settings ? settings->GetOpenApps() : std::vector<std::string>();
  std::string app;
  {
    CSelectAppDlg dialog(parent, &apps);
    if (dialog.ShowModal() != wxID_OK) return false;
    app = dialog.GetApplication();
  }
  if (!launcher.OpenWithProgram(app, path)) return false;
  if (settings && std::find(apps.begin(), apps.end(), app) == apps.end()) {
    std::vector<std::string> newList{app};
    newList.insert(newList.end(), apps.begin(), apps.end());
    settings->SaveOpenApps(newList);
  }
  return true;
}

bool TryOpen(const CRootFileInfo& set, const std::string& logicalPath, wxWindow* parent, CAppSettings* settings,
             CAppLauncher& launcher) {
  std::string catalogName, path, fileName;
  bool outside = false;
  if (!SplitCatalogPath(set, logicalPath, catalogName, path, fileName, &outside)) {
    if (outside) AppMessageBox(kOutsideCatalogMessage, wxOK | wxICON_EXCLAMATION, parent);
    return outside;  // the message said why; the general one would only repeat it
  }
  if (!ConfirmFilePresent(path, logicalPath, catalogName, fileName, parent)) return false;
  switch (launcher.OpenWithAssociated(path)) {
    case CAppLauncher::OPEN_DONE:
      return true;
    case CAppLauncher::OPEN_NO_APPLICATION:
      return OpenWithChosenApplication(path, parent, settings, launcher);
    case CAppLauncher::OPEN_FAILED:
      break;
  }
  return false;
}

}  // namespace

void OpenCatalogedFile(const CRootFileInfo& set, const std::string& logicalPath, wxWindow* parent) {
  OpenCatalogedFile(set, logicalPath, parent, GetAppSettings(), GetDesktopLauncher());
}

void OpenCatalogedFile(CExplorerApDoc& doc, const std::string& logicalPath) {
  if (const CRootFileInfo* set = doc.GetRoot()) OpenCatalogedFile(*set, logicalPath, doc.GetDocumentWindow());
}

void OpenCatalogedFile(const CRootFileInfo& set, const std::string& logicalPath, wxWindow* parent,
                       CAppSettings* settings, CAppLauncher& launcher) {
  if (!TryOpen(set, logicalPath, parent, settings, launcher))
    AppMessageBox(kOpenFileFailed, wxOK | wxICON_EXCLAMATION, parent);
}

bool ConfirmFilePresent(std::string& path, const std::string& logicalPath, const std::string& catalogName,
                        const std::string& fileName, wxWindow* parent) {
  std::string catalog = catalogName, name = fileName;
  if (catalog.empty() || name.empty()) {
    std::string rest;
    if (!SplitLogicalPath(logicalPath, catalog, rest, name)) return false;
  }
  for (;;) {
    if (IsFilePresent(path)) return true;
    CLocateFileDlg dialog(parent, LocateFileMessage(logicalPath, path, catalog), name);
    switch (dialog.ShowModal()) {
      case CLocateFileDlg::END_PLACE_CHOSEN:
        path = dialog.GetChosenPath();
        break;
      case CLocateFileDlg::END_SEARCH_AGAIN:
      case 1:  // Enter, where the platform ends the dialog with it
        break;
      default:
        // Cancel, and any end the dialog does not define: asking again
        // forever would leave the user no way out.
        return false;
    }
  }
}

bool SplitLogicalPath(const std::string& logicalPath, std::string& catalogName, std::string& rest,
                      std::string& fileName) {
  const std::size_t first = logicalPath.find('\\');
  if (first == std::string::npos || first == 0) return false;
  std::size_t start = first + 1;
  for (;;) {
    const std::size_t end = logicalPath.find('\\', start);
    if (IsBadComponent(logicalPath.substr(start, end - start))) return false;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  catalogName = logicalPath.substr(0, first);
  rest = logicalPath.substr(first + 1);
  fileName = logicalPath.substr(start);
  return true;
}

bool SplitCatalogPath(const CRootFileInfo& set, const std::string& logicalPath, std::string& catalogName,
                      std::string& realPath, std::string& fileName, bool* outside) {
  if (outside != nullptr) *outside = false;
  std::string catalog, rest, name;
  if (!SplitLogicalPath(logicalPath, catalog, rest, name)) return false;
  // Without its catalog the path would be taken from the root of the disk.
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(&set), catalog);
  if (item == nullptr || !item->IsCatalog()) return false;
  std::optional<std::string> path = RealPathOfItem(static_cast<const CDriveFileInfo&>(*item), rest);
  if (!path) {
    if (outside != nullptr) *outside = true;
    return false;
  }
  catalogName = std::move(catalog);
  realPath = std::move(*path);
  fileName = std::move(name);
  return true;
}

bool IsFilePresent(const std::string& path) {
  struct stat status;
  return IsRootedPath(path) && stat(path.c_str(), &status) == 0;
}

std::string LocateFileMessage(const std::string& logicalPath, const std::string& path,
                              const std::string& catalogName) {
  return "【" + logicalPath + "】 はカタログ化されたときの場所 【" + path +
         "】 にありません。\n\nカタログ 【" + catalogName +
         "】 が格納されているディスクをセットして再検索してください。\n\n他の場所を探す場合には、場所を指定してください";
}
