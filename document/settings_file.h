#pragma once
// The program's settings file and the sections the framework keeps there:
// "Recent File List" (File1..File4) and "Settings".

#include <memory>

class wxConfigBase;
class wxFileConfig;
class wxFileHistory;

inline constexpr int kRecentFileCount = 4;

// Opens $XDG_CONFIG_HOME/Quarrix.conf (~/.config when the variable is not
// set). The file need not exist; it is created by the first write.
std::unique_ptr<wxFileConfig> OpenSettingsFile();

// Adds the stored recent files to history, File1 ending up first.
void LoadRecentFileList(wxConfigBase& config, wxFileHistory& history);
// Stores history as File1.. and removes the keys beyond it.
void SaveRecentFileList(wxConfigBase& config, const wxFileHistory& history);

// "Settings/PreviewPages", 0 when missing; written back only when nonzero.
int LoadPreviewPages(wxConfigBase& config);
void SavePreviewPages(wxConfigBase& config, int nPages);
