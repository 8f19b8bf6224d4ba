#include "document/settings_file.h"

#include <wx/filehistory.h>
#include <wx/stdpaths.h>

#include "document/file_path_text.h"

namespace {

const char kRecentSection[] = "Recent File List";
const char kSettingsSection[] = "Settings";

std::string RecentKey(int n) { return "File" + std::to_string(n); }

CSettingsStore* g_pStore = nullptr;

}  // namespace

std::unique_ptr<CSettingsStore> OpenSettingsFile() {
#ifdef _WIN32
  // The per-user registry key; the store's sections are its subkeys.
  return std::make_unique<CSettingsStore>("Software\\Kestrane Soft\\Quarrix");
#else
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  const wxString folder = wxStandardPaths::Get().GetUserConfigDir();
  return std::make_unique<CSettingsStore>(PathFromWx(folder) + "/Quarrix.conf");
#endif
}

CSettingsStore* GetSettingsStore() { return g_pStore; }

CSettingsStore* SetSettingsStore(CSettingsStore* store) {
  CSettingsStore* old = g_pStore;
  g_pStore = store;
  return old;
}

void LoadRecentFileList(const CSettingsStore& store, wxFileHistory& history) {
  // The history puts each added file first, so the last entry goes in first.
  for (int n = kRecentFileCount; n >= 1; --n) {
    const std::string file = store.GetString(kRecentSection, RecentKey(n));
    if (!file.empty()) history.AddFileToHistory(WxFromPath(file));
  }
}

void SaveRecentFileList(CSettingsStore& store, const wxFileHistory& history) {
  const int count = int(history.GetCount());
  for (int n = 1; n <= kRecentFileCount; ++n) {
    if (n <= count)
      store.SetString(kRecentSection, RecentKey(n), PathFromWx(history.GetHistoryFile(n - 1)));
    else
      store.DeleteKey(kRecentSection, RecentKey(n));
  }
  store.Flush();
}

int LoadPreviewPages(const CSettingsStore& store) { return int(store.GetInt(kSettingsSection, "PreviewPages", 0)); }

void SavePreviewPages(CSettingsStore& store, int nPages) {
  if (nPages != 0) store.SetInt(kSettingsSection, "PreviewPages", nPages);
}
