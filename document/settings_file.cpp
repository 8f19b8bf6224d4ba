#include "document/settings_file.h"

#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/fileconf.h>
#include <wx/stdpaths.h>

namespace {

const char kRecentSection[] = "/Recent File List";

wxString RecentKey(int n) { return wxString::Format("%s/File%d", kRecentSection, n); }

}  // namespace

std::unique_ptr<wxFileConfig> OpenSettingsFile() {
  wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
  auto config = std::make_unique<wxFileConfig>("Quarrix", "Kestrane Soft", wxEmptyString, wxEmptyString,
                                               wxCONFIG_USE_LOCAL_FILE);
  // The folder may not exist yet on a new account; the file's first write
  // needs it.
  const wxString folder = wxStandardPaths::Get().GetUserConfigDir();
  if (!wxFileName::DirExists(folder)) wxFileName::Mkdir(folder, 0700, wxPATH_MKDIR_FULL);
  return config;
}

void LoadRecentFileList(wxConfigBase& config, wxFileHistory& history) {
  // The history puts each added file first, so the last entry goes in first.
  for (int n = kRecentFileCount; n >= 1; --n) {
    wxString file;
    if (config.Read(RecentKey(n), &file) && !file.empty()) history.AddFileToHistory(file);
  }
}

void SaveRecentFileList(wxConfigBase& config, const wxFileHistory& history) {
  const int count = int(history.GetCount());
  for (int n = 1; n <= kRecentFileCount; ++n) {
    if (n <= count)
      config.Write(RecentKey(n), history.GetHistoryFile(n - 1));
    else if (config.HasEntry(RecentKey(n)))
      config.DeleteEntry(RecentKey(n), false);
  }
  config.Flush();
}

int LoadPreviewPages(wxConfigBase& config) { return int(config.ReadLong("/Settings/PreviewPages", 0)); }

void SavePreviewPages(wxConfigBase& config, int nPages) {
  if (nPages != 0) config.Write("/Settings/PreviewPages", long(nPages));
}
