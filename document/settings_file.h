#pragma once
// The program's settings file and the sections the framework kept there:
// "Recent File List" (File1..File4) and "Settings".

#include <memory>

#include "document/settings_store.h"

class wxFileHistory;

inline constexpr int kRecentFileCount = 4;

// Opens $XDG_CONFIG_HOME/Quarrix.conf (~/.config when the variable is not
// set). The file need not exist; the first write creates it and its folder.
std::unique_ptr<CSettingsStore> OpenSettingsFile();

// The store of the running program, which the document manager writes the
// recent files to; null until one is set (as in most tests). Returns the
// store it replaces.
CSettingsStore* GetSettingsStore();
CSettingsStore* SetSettingsStore(CSettingsStore* store);

// Adds the stored recent files to history, File1 ending up first.
void LoadRecentFileList(const CSettingsStore& store, wxFileHistory& history);
// Stores history as File1.. and removes the keys beyond it.
void SaveRecentFileList(CSettingsStore& store, const wxFileHistory& history);

// "Settings/PreviewPages", 0 when missing; written back only when nonzero.
int LoadPreviewPages(const CSettingsStore& store);
void SavePreviewPages(CSettingsStore& store, int nPages);
