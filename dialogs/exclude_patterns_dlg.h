#pragma once
// Edits the patterns new catalogs leave out, one a line: a name ("*.tmp",
// "node_modules") or a path below the place catalogued ("cache/tmp"). Ends
// with wxID_OK or wxID_CANCEL.

#include <string>
#include <vector>

#include "dialogs/value_dialog.h"

class CExcludePatternsDlg : public CValueDialog {
 public:
  CExcludePatternsDlg(wxWindow* parent, std::vector<std::string> patterns);

  const std::vector<std::string>& GetPatterns() const { return m_vecPatterns; }

  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 private:
  std::vector<std::string> m_vecPatterns;
};

// The patterns of text, one a line: blanks around each dropped, empty lines
// and repeats left out.
std::vector<std::string> PatternsFromLines(const std::string& text);
