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
#include "document/member_opener.h"
#include "model/archive_extract.h"
#include "model/catalog_update.h"
#include "model/item_real_name.h"
#include "model/medium_match.h"
#include "model/root_file_info.h"
#include "platform/path_separator.h"

namespace {

// A component that cannot come from a scan; taken literally it would lead
// out of the catalog's folder.
bool IsBadComponent(const std::string& component) { return component.empty() || component == "." || component == ".."; }

// The application dialog for a file nothing is associated with, or whose
// associated application did not start; true when
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
  // A member of an archive: the archive is what must be on the medium.
  CMemberPath member;
  const bool inArchive = SplitMemberPath(set, logicalPath, member);
  const std::string& onMedium = inArchive ? member.strArchive : logicalPath;
  std::string catalogName, path, fileName;
  bool outside = false;
  if (!SplitCatalogPath(set, onMedium, catalogName, path, fileName, &outside)) {
    if (outside) AppMessageBox(kOutsideCatalogMessage, wxOK | wxICON_EXCLAMATION, parent);
    return outside;  // the message said why; the general one would only repeat it
  }
  if (!ConfirmFilePresent(path, onMedium, catalogName, fileName, parent, FindCatalog(set, catalogName))) return false;
  if (inArchive) {
    const EExtract result = ExtractMemberCopy(parent, path, member, path);
    if (result != EExtract::Done) {
      const long icon = result == EExtract::Cancelled ? wxICON_INFORMATION : wxICON_EXCLAMATION;
      AppMessageBox(MemberCopyMessage(result), wxOK | icon, parent);
      return true;  // the message said why
    }
  }
  // Whatever kept the associated application from starting, the user gets
  // to pick another at once rather than be left with the file unopened.
  if (launcher.OpenWithAssociated(path) == CAppLauncher::OPEN_DONE) return true;
  return OpenWithChosenApplication(path, parent, settings, launcher);
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
                        const std::string& fileName, wxWindow* parent, const CDriveFileInfo* catalog) {
  std::string catalogLabel = catalogName, name = fileName;
  if (catalogLabel.empty() || name.empty()) {
    std::string rest;
    if (!SplitLogicalPath(logicalPath, catalogLabel, rest, name)) return false;
  }
  for (;;) {
    if (IsFilePresent(path)) return true;
    // Asked again each time: the medium may have come while the dialog was up.
    const std::string absentMedium =
        catalog != nullptr && !CatalogPlacePresent(*catalog) ? DescribeCatalogMedium(*catalog) : std::string();
    CLocateFileDlg dialog(parent, LocateFileMessage(logicalPath, path, catalogLabel, absentMedium), name);
    switch (dialog.ShowModal()) {
      case CLocateFileDlg::END_PLACE_CHOSEN: path = dialog.GetChosenPath(); break;
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
  const CDriveFileInfo* found = FindCatalog(set, catalog);
  if (found == nullptr) return false;
  std::optional<std::string> path = RealPathOfItem(*found, rest);
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

const CDriveFileInfo* FindCatalog(const CRootFileInfo& set, const std::string& name) {
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(&set), name);
  return item != nullptr && item->IsCatalog() ? static_cast<const CDriveFileInfo*>(item) : nullptr;
}

std::string LocateFileMessage(const std::string& logicalPath, const std::string& path, const std::string& catalogName,
                              const std::string& absentMedium) {
  const std::string request = absentMedium.empty()
                                  ? "カタログ 【" + catalogName + "】 が格納されているディスクをセットして"
                                  : "カタログ 【" + catalogName + "】 のメディア 【" + absentMedium +
                                        "】 が接続されていません。このメディアをセットして";
  return "【" + logicalPath + "】 はカタログ化されたときの場所 【" + path + "】 にありません。\n\n" + request +
         "再検索してください。\n\n他の場所を探す場合には、場所を指定してください";
}
