#include "document/recent_file_history.h"

wxString RecentFileLabel(size_t n, const wxString& path) {
  wxString shown(path);
  shown.Replace("&", "&&");
  return wxString::Format("&%zu %s", n + 1, shown);
}

void CRecentFileHistory::AddFileToHistory(const wxString& file) {
  wxFileHistory::AddFileToHistory(file);
  ShowInMenu();
}

void CRecentFileHistory::RemoveFileFromHistory(size_t i) {
  wxFileHistory::RemoveFileFromHistory(i);
  ShowInMenu();
}

void CRecentFileHistory::UseMenu(wxMenu* menu) {
  m_pMenu = menu;
  m_pSeparator = nullptr;
  ShowInMenu();
}

void CRecentFileHistory::RemoveMenu(wxMenu* menu) {
  if (m_pMenu.get() == menu) m_pMenu = nullptr;
}

void CRecentFileHistory::AddFilesToMenu() { ShowInMenu(); }

void CRecentFileHistory::AddFilesToMenu(wxMenu* menu) {
  if (menu == m_pMenu.get()) ShowInMenu();
}

void CRecentFileHistory::ShowInMenu() {
  wxMenu* menu = m_pMenu.get();
  if (!menu) {
    m_pSeparator = nullptr;
    return;
  }
  // The entries and their separator go, then come back in the list's order.
  const int first = GetBaseId();
  for (int id = first; id < first + GetMaxFiles(); ++id)
    if (menu->FindChildItem(id)) menu->Destroy(id);
  if (m_pSeparator) menu->Destroy(m_pSeparator);
  m_pSeparator = nullptr;
  const size_t count = GetCount();
  if (count == 0) return;
  size_t at = menu->GetMenuItemCount();
  menu->FindChildItem(wxID_EXIT, &at);
  m_pSeparator = menu->InsertSeparator(at);
  for (size_t n = count; n-- > 0;) menu->Insert(at, first + int(n), RecentFileLabel(n, GetHistoryFile(n)));
}
