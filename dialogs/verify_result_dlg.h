#pragma once
// What a verify of a catalog found: a sentence, the count of each kind of
// difference, and the differences one a row, from which the user may pick
// one to go to. Ends with wxID_OK ("選択") or wxID_CANCEL ("閉じる").

#include <string>
#include <vector>

#include "dialogs/value_dialog.h"
#include "model/catalog_verify.h"

class wxListCtrl;
class wxListEvent;

// At most this many rows of each kind are listed; a last row counts the others.
inline constexpr std::size_t kVerifyRowsPerKind = 500;

struct CVerifyRow {
  std::string m_strKind;
  std::string m_strPath;  // a logical path, or "ほか N 件" for the rows left out
  bool m_bFinding = true;
};

// The rows of the list, kind by kind.
std::vector<CVerifyRow> VerifyResultRows(const CVerifyResult& result, std::size_t perKind = kVerifyRowsPerKind);
// The sentence above the counts.
std::string VerifyResultMessage(const std::string& label, const CVerifyResult& result);

class CVerifyResultDlg : public CValueDialog {
 public:
  CVerifyResultDlg(wxWindow* parent, const std::string& label, const CVerifyResult& result);

  // After "選択": the logical path of the chosen difference; empty when none
  // was chosen.
  const std::string& GetSelectedPath() const { return m_strSelectedPath; }
  wxListCtrl* GetList() const { return m_pList; }

  bool TransferDataFromWindow() override;

 private:
  void OnActivated(wxListEvent& event);

  std::vector<CVerifyRow> m_rows;
  wxListCtrl* m_pList = nullptr;
  std::string m_strSelectedPath;
};
