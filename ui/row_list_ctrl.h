#pragma once
// The list control of the list view. It shows the view's rows and keeps
// none of its own texts: in the details style it is a virtual list that
// reads the rows when it draws them, so that a folder of a hundred thousand
// files fills at once; the list style holds a copy of each row's name and
// image, which the generic layout needs (the native one of MSW stays
// virtual: it cannot drop that style). The two icon styles lay the rows out in
// rows, which the toolkit's list cannot: a grid of the program's own
// stands in for the toolkit's rows then.

#include <string>
#include <vector>

#include <wx/listctrl.h>

#include "ui/list_rows.h"

class CIconGrid;

class CRowListCtrl : public wxListCtrl {
 public:
  // rows belongs to the caller, who detaches it (SetRows(nullptr)) when
  // it goes before the control.
  CRowListCtrl(wxWindow* parent, const std::vector<CListRow>* rows);
  void SetRows(const std::vector<CListRow>* rows);

  // The images the rows' image indices name, small and large, for every
  // style.
  void SetRowImages(const wxVector<wxBitmapBundle>& small, const wxVector<wxBitmapBundle>& large);

  // The five columns anew, with their first widths.
  void ResetColumns();
  // A column's heading (UTF-8).
  static std::string ColumnHeading(int column);
  // Widens or narrows column to show its title and cells whole, as a double
  // click on its header divider does.
  void FitColumn(int column);
  // The generic control's header (null where the toolkit's own list has one).
  wxWindow* GetHeaderWindow() const;
  std::vector<int> GetColumnWidths() const;
  // Takes five widths; anything else changes nothing.
  void SetColumnWidths(const std::vector<int>& widths);

  // The header's arrow on column, pointing the way of ascending; none for
  // a column the list does not have. Kept through new columns and styles.
  void ShowSortColumn(int column, bool ascending);

  // wxLC_ICON, wxLC_SMALL_ICON, wxLC_LIST or wxLC_REPORT.
  long GetDisplayStyle() const;
  // Changes only the style and lays the rows out afresh; rows, selection
  // and focus stay.
  void SetDisplayStyle(long style);

  // Shows all rows anew, none selected.
  void ShowRows();
  // Draws the rows again after their order or texts changed (same count).
  void RefreshRows();
  // Redraws one row after its texts changed.
  void RefreshRow(long row);

  std::vector<long> GetSelectedRows() const;
  long GetSelectedCount() const;
  // The first selected row, or -1.
  long GetFirstSelectedRow() const;
  long GetFocusedRow() const;
  // Scrolls row into sight.
  void ShowRow(long row);
  long GetRowCount() const;
  // A row's rectangle in the rows' window, and its label as shown.
  wxRect GetRowRect(long row) const;
  wxString GetRowLabel(long row) const;
  // Selects exactly rows; focus < 0 leaves no row focused.
  void SelectRows(const std::vector<long>& rows, long focus);

  // A right click at point (in the rows' window) on a row that is not
  // selected selects that row alone, before any context menu: the control
  // itself shows the menu first while it has no current row (after a fill).
  void SelectRowForRightClick(const wxPoint& point);
  // The window that draws the rows and gets their mouse events.
  wxWindow* GetRowsWindow() const;
  // The grid of the icon styles (hidden in the others).
  CIconGrid* GetIconGrid() const { return m_pGrid; }

 protected:
  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;

 private:
  void InsertRowItems();
  bool InGrid() const { return m_nStyle == wxLC_ICON || m_nStyle == wxLC_SMALL_ICON; }
  // Puts the grid or the toolkit's rows in sight, as the style asks.
  void ShowGridOrRows();
  wxWindow* ToolkitRowsWindow() const;
  void OnSize(wxSizeEvent& event);
  void OnHeaderDoubleClick(wxMouseEvent& event);
  int TextWidth(const std::string& text) const;
  // A row's label in the icon and list styles.
  wxString ShownName(const CListRow& row) const;
  const std::vector<CListRow>& Rows() const;
  void ApplySortColumn();

  const std::vector<CListRow>* m_pRows;
  std::vector<int> m_vecColumnWidths;  // kept while another style is shown
  long m_nStyle = wxLC_REPORT;         // the style asked for, not the control's own
  CIconGrid* m_pGrid = nullptr;        // a child window
  int m_nSortColumn = -1;
  bool m_bSortAscending = true;

  static constexpr std::size_t kShortName = 8;  // characters never cut
  static constexpr int kListLabelWidth = 240;   // pixels, list style
};
