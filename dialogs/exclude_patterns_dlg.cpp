#include "dialogs/exclude_patterns_dlg.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>

CExcludePatternsDlg::CExcludePatternsDlg(wxWindow* parent, std::vector<std::string> patterns)
    : CValueDialog(parent, "除外パターン", "ExcludePatternsLayout"), m_vecPatterns(std::move(patterns)) {}

bool CExcludePatternsDlg::TransferDataToWindow() {
  if (!wxDialog::TransferDataToWindow()) return false;
  std::string text;
  for (const std::string& pattern : m_vecPatterns) text += pattern + "\n";
  wxTextCtrl* edit = XRCCTRL(*this, "ID_PATTERNS", wxTextCtrl);
  edit->ChangeValue(wxString::FromUTF8(text));
  edit->SetFocus();
  return true;
}

bool CExcludePatternsDlg::TransferDataFromWindow() {
  if (!wxDialog::TransferDataFromWindow()) return false;
  m_vecPatterns = PatternsFromLines(XRCCTRL(*this, "ID_PATTERNS", wxTextCtrl)->GetValue().utf8_string());
  return true;
}

std::vector<std::string> PatternsFromLines(const std::string& text) {
  std::vector<std::string> patterns;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::size_t first = text.find_first_not_of(" \t\r", at);
    std::string pattern;
    if (first < end) pattern = text.substr(first, text.find_last_not_of(" \t\r", end - 1) + 1 - first);
    if (!pattern.empty() && std::find(patterns.begin(), patterns.end(), pattern) == patterns.end())
      patterns.push_back(std::move(pattern));
    at = end + 1;
  }
  return patterns;
}
