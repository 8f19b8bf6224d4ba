#pragma once
// The results of a copies search: for the files with few copies a summary
// per catalog above the list; the list itself is virtual, so that any
// number of rows shows at once. Double-click or 移動 on a row of the open
// set ends the dialog with wxID_OK and its path; rows of other sets cannot
// be gone to, which the status line says.

#include <string>
#include <vector>

#include <wx/dialog.h>

#include "dialogs/copy_rows.h"

class wxListCtrl;
class wxListEvent;
class wxStaticText;

class CCopiesResultDlg : public wxDialog {
 public:
  enum : int { ID_SUMMARY = 1221, ID_RESULTS, ID_COUNT, ID_STATUS };

  // results must outlive the dialog.
  CCopiesResultDlg(wxWindow* parent, const CCopyResults& results);

  const std::string& GetSelectedPath() const { return m_strSelectedPath; }
  wxListCtrl* GetList() const { return m_pList; }
  wxListCtrl* GetSummary() const { return m_pSummary; }  // null for duplicates
  std::string GetStatus() const;

 private:
  void OnActivated(wxListEvent& event);
  void OnSelectionChanged(wxListEvent& event);
  void OnGo(wxCommandEvent& event);
  void OnClose(wxCommandEvent& event);
  void GoTo(long row);
  void EndWith(int code);

  const CCopyResults& m_results;
  std::string m_strSelectedPath;
  wxListCtrl* m_pList = nullptr;
  wxListCtrl* m_pSummary = nullptr;
  wxStaticText* m_pStatus = nullptr;
};

// The status line for a selected row: empty for the open set's rows.
std::string CopyRowStatus(const CCopyResults& results, long row);
