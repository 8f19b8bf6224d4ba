#pragma once
// Edits the note of one item or of several items at once. Ends with wxID_OK
// (GetNote then holds the note to write, possibly empty) or wxID_CANCEL.

#include <string>
#include <vector>

#include "dialogs/value_dialog.h"

class CNoteSource;

class CNoteEditDlg : public CValueDialog {
 public:
  // paths (logical paths) and source belong to the caller and must outlive
  // the dialog.
  CNoteEditDlg(wxWindow* parent, const std::vector<std::string>* pPaths, CNoteSource* pSource);

  const std::string& GetNote() const { return m_strNote; }

  // Looks up the note and words the prompt.
  bool TransferDataToWindow() override;
  bool TransferDataFromWindow() override;

 private:
  const std::vector<std::string>* m_pPaths;
  CNoteSource* m_pSource;
  std::string m_strNote;
  std::string m_strStartNote;
  std::string m_strPrompt;
};
