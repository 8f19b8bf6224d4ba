#pragma once
// The search results: one row per found file or folder, and the path of the
// row the user picks (選択, Enter or a double click). The list reads its
// rows when it draws them, so that any number of results shows at once.

#include <string>
#include <vector>

#include <wx/dialog.h>

#include "dialogs/search_fields.h"
#include "model/item_summary.h"

class CIconIndexSource;
class wxListCtrl;
class wxPanel;
class wxKeyEvent;
class wxListEvent;
class wxSizeEvent;

class CSearchResultDlg : public wxDialog {
 public:
  // results must outlive the dialog; icons gives the rows' images.
  CSearchResultDlg(wxWindow* parent, const CItemSummaryList& results, CIconIndexSource& icons);
  // The icons from the source the application installed.
  explicit CSearchResultDlg(wxWindow* parent, const CItemSummaryList& results);
  ~CSearchResultDlg() override;

  // The chosen row's path after "選択"; empty when no row was selected.
  const std::string& GetSelectedPath() const { return m_strSelectedPath; }
  wxListCtrl* GetList() const { return m_pList; }

  // Smallest size the user can make the dialog, in pixels.
  static constexpr int kMinWidth = 322;
  static constexpr int kMinHeight = 166;

 private:
  // icons is null when no source is installed.
  CSearchResultDlg(wxWindow* parent, const CItemSummaryList& results, CIconIndexSource* icons);
  void FillList(CIconIndexSource* icons);
  void OnSelect(wxCommandEvent& event);
  void OnItemActivated(wxListEvent& event);
  void OnCancel(wxCommandEvent& event);
  void OnCharHook(wxKeyEvent& event);
  void OnLayoutSize(wxSizeEvent& event);
  void EndWith(int code);

  const CItemSummaryList* m_pResults;
  std::vector<CResultRow> m_vecRows;  // what the list shows, in its order
  std::string m_strSelectedPath;
  wxPanel* m_pLayout = nullptr;
  wxListCtrl* m_pList = nullptr;
  wxWindow* m_pCount = nullptr;
  wxWindow* m_pSelectButton = nullptr;
  wxWindow* m_pCancelButton = nullptr;
  // Distances of each control's right and bottom edge from the layout's.
  wxSize m_sizeCountOffset, m_sizeListOffset, m_sizeSelectOffset, m_sizeCancelOffset;
};
