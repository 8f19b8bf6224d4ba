#pragma once
// The options of the two copies searches: how files match, the smallest
// size, and the other set files to compare with (chosen in the file dialog
// or among the recent files; each is read when added, read-only). The
// search for files with few copies also asks which catalogs to list and
// below how many copies. Ends with wxID_OK or wxID_CANCEL.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "model/copy_groups.h"

class wxCheckListBox;
class wxChoice;
class wxListBox;
class wxRadioBox;
class wxSpinCtrl;
class wxTextCtrl;

struct CCopiesDlgSetup {
  bool bFewCopies = false;  // else the duplicates
  const CRootFileInfo* pOpenSet = nullptr;
  std::vector<std::string> recentSets;  // offered, the open set left out
  std::string strWildcard;              // the file dialog's filter, wx form
  // Reads a set file; null when it cannot, having told the user why.
  std::function<std::unique_ptr<CRootFileInfo>(const std::string& path)> loadSet;
};

class CCopiesDlg : public wxDialog {
 public:
  enum : int {
    ID_MATCH = 1201,  // radio box, kCopyMatchModes' order
    ID_MIN_SIZE,      // bytes
    ID_FEWER_THAN,    // fewer copies than this
    ID_CATALOGS,      // check list: the open set's catalogs, then each other set's
    ID_OTHER_SETS,    // list of paths
    ID_BROWSE_SET,    // 追加...: the file dialog
    ID_RECENT_SETS,   // choice of recent files
    ID_ADD_RECENT,    // adds the chosen recent file
    ID_REMOVE_SET,    // removes the selected set
  };

  CCopiesDlg(wxWindow* parent, CCopiesDlgSetup setup);
  ~CCopiesDlg() override;

  // After OK.
  const CCopyOptions& GetOptions() const { return m_options; }
  std::uint32_t GetFewerThan() const { return m_nFewerThan; }
  // Catalog indices in the order CCopyIndex numbers them over the open set
  // and then the other sets; empty: all of them.
  const std::vector<std::uint32_t>& GetChosenCatalogs() const { return m_vecChosen; }
  const std::vector<std::string>& GetOtherSetPaths() const { return m_vecPaths; }
  // The other sets read, in list order; the dialog keeps none after.
  std::vector<std::unique_ptr<CRootFileInfo>> TakeOtherSets() { return std::move(m_vecSets); }

  // Adds the set file at path (tests and the two add buttons); false when
  // it is already there or cannot be read.
  bool AddSet(const std::string& path);

  bool TransferDataFromWindow() override;

 private:
  void OnBrowse(wxCommandEvent& event);
  void OnAddRecent(wxCommandEvent& event);
  void OnRemove(wxCommandEvent& event);
  void OnOk(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
  void EndWith(int code);
  void FillRecent();
  void AddCatalogs(const CRootFileInfo& set, const std::string& prefix);

  CCopiesDlgSetup m_setup;
  CCopyOptions m_options;
  std::uint32_t m_nFewerThan = 2;
  std::vector<std::uint32_t> m_vecChosen;
  std::vector<std::string> m_vecPaths;
  std::vector<std::unique_ptr<CRootFileInfo>> m_vecSets;
  std::vector<std::size_t> m_vecCatalogCounts;  // per other set, in the check list

  wxRadioBox* m_pMatch = nullptr;
  wxTextCtrl* m_pMinSize = nullptr;
  wxSpinCtrl* m_pFewerThan = nullptr;
  wxCheckListBox* m_pCatalogs = nullptr;
  wxListBox* m_pOtherSets = nullptr;
  wxChoice* m_pRecent = nullptr;
};
