#include "ui/view_rules.h"

#include "ui/path_rules.h"

bool ListCanDeleteCatalog(const CListSelection& selection) {
  return selection.m_bSetLevel && selection.m_nSelected > 0;
}

bool ListCanUpdateCatalog(const CListSelection& selection) {
  return selection.m_bSetLevel && selection.m_nSelected == 1;
}

bool ListHasSelection(const CListSelection& selection) { return selection.m_nSelected > 0; }

bool ListCanOpenFile(const CListSelection& selection) {
  return !selection.m_bSetLevel && selection.m_nSelected > 0 && selection.m_nContainers == 0;
}

EEnterAction ClassifyEnter(const CListSelection& selection) {
  if (selection.m_nSelected <= 0) return EEnterAction::None;
  if (selection.m_nContainers == 0) return EEnterAction::OpenFiles;
  if (selection.m_nContainers == selection.m_nSelected) return EEnterAction::OpenFolder;
  return EEnterAction::None;
}

std::string ListStatusText(const std::string& currentPath, int nSelected, const std::string& oneSelectedPath) {
  if (nSelected <= 0) return currentPath;
  if (nSelected == 1) return oneSelectedPath;
  return std::to_string(nSelected) + " 個のファイルを選択";
}

std::string LocationText(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += path + "\r\n";
  return text;
}

bool TreeCanDeleteCatalog(bool hasSelection, bool parentIsRoot) { return hasSelection && parentIsRoot; }

std::string OneLineText(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // the LF makes the blank
    line += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
  }
  return line;
}

bool ListParentPlace(const std::string& current, std::string& parent, std::string& childName) {
  if (current.empty()) return false;
  SplitAtLastBackslash(current, parent, childName);
  return true;
}

long RowToSelectOnEntry(long selectedCount, long focusedRow, long rowCount) {
  if (selectedCount > 0 || rowCount <= 0) return -1;
  return focusedRow >= 0 && focusedRow < rowCount ? focusedRow : 0;
}
