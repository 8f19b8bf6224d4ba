#pragma once
// The recent-file list as the File menu shows it: "&1 path" .. "&4 path"
// above the exit item, set off by a separator of its own, as the desktop
// framework's convention is (wx would append them at the menu's end).

#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/weakref.h>

class CRecentFileHistory : public wxFileHistory {
 public:
  explicit CRecentFileHistory(size_t maxFiles) : wxFileHistory(maxFiles) {}

  void AddFileToHistory(const wxString& file) override;
  void RemoveFileFromHistory(size_t i) override;
  // One menu at a time: the main window's File menu. It may go first.
  void UseMenu(wxMenu* menu) override;
  void RemoveMenu(wxMenu* menu) override;
  void AddFilesToMenu() override;
  void AddFilesToMenu(wxMenu* menu) override;

 private:
  void ShowInMenu();

  wxWeakRef<wxMenu> m_pMenu;
  wxMenuItem* m_pSeparator = nullptr;  // inserted into m_pMenu, owned by it
};

// "&N path" for the entry at index n (0 based), ampersands doubled.
wxString RecentFileLabel(size_t n, const wxString& path);
