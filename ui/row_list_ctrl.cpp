#include "ui/row_list_ctrl.h"

#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/scrolwin.h>
#include <wx/wupdlock.h>

#include "model/text_format.h"
#include "ui/column_widths.h"
#include "ui/icon_grid.h"
#include "ui/view_rules.h"

namespace {

const char* const kColumnTitles[LIST_COLUMN_COUNT] = {"名前", "サイズ", "ファイルの種類", "更新日時", "ノート"};

#ifdef __WXMSW__
// The native control cannot drop the owner-data style it was made with, so
// it reads its rows in every style; its list layout draws them so too.
constexpr bool kAlwaysVirtual = true;
#else
constexpr bool kAlwaysVirtual = false;
#endif

}  // namespace

CRowListCtrl::CRowListCtrl(wxWindow* parent, const std::vector<CListRow>* rows)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_THEME),
      m_pRows(rows) {
  ResetColumns();
  m_pGrid = new CIconGrid(this);
  m_pGrid->Hide();
  Bind(wxEVT_SIZE, &CRowListCtrl::OnSize, this);
  // The native header of Windows fits a column on a divider's double click itself.
  if (wxWindow* header = GetHeaderWindow()) header->Bind(wxEVT_LEFT_DCLICK, &CRowListCtrl::OnHeaderDoubleClick, this);
}

wxWindow* CRowListCtrl::GetHeaderWindow() const {
#ifdef __WXMSW__
  return nullptr;
#else
  for (wxWindow* child : GetChildren())
    if (static_cast<const void*>(child) == static_cast<const void*>(m_headerWin)) return child;
  return nullptr;
#endif
}

int CRowListCtrl::TextWidth(const std::string& text) const { return GetTextExtent(wxString::FromUTF8(text)).x; }

void CRowListCtrl::FitColumn(int column) {
  if (!InReportView() || column < 0 || column >= GetColumnCount()) return;
  SetColumnWidth(column,
                 FittingColumnWidth(
                     Rows(), column, kColumnTitles[column], [this](const std::string& text) { return TextWidth(text); },
                     [this](int length) { return FromDIP(length); }));
}

void CRowListCtrl::OnHeaderDoubleClick(wxMouseEvent& event) {
  int x = event.GetX();
  if (auto* scrolled = dynamic_cast<wxScrollHelper*>(ToolkitRowsWindow()))
    scrolled->CalcUnscrolledPosition(x, 0, &x, nullptr);
  const int column = ColumnOfDivider(GetColumnWidths(), x, FromDIP(4));
  if (column < 0) {
    event.Skip();
    return;
  }
  FitColumn(column);
}

void CRowListCtrl::SetRowImages(const wxVector<wxBitmapBundle>& small, const wxVector<wxBitmapBundle>& large) {
  SetSmallImages(small);
  SetNormalImages(large);
  m_pGrid->SetImages(small, large);
}

void CRowListCtrl::OnSize(wxSizeEvent& event) {
  if (m_pGrid->IsShown()) m_pGrid->SetSize(GetClientSize());
  event.Skip();
}

void CRowListCtrl::ShowGridOrRows() {
  const bool grid = InGrid();
  wxWindow* rows = ToolkitRowsWindow();
  const bool hadFocus = FindFocus() == rows || FindFocus() == m_pGrid;
  m_pGrid->Show(grid);
  // Under MSW the rows are the control itself, which holds the grid: it
  // stays shown, empty behind the grid.
  if (rows && rows != this) rows->Show(!grid);
  if (grid) m_pGrid->SetSize(GetClientSize());
  if (hadFocus) (grid ? static_cast<wxWindow*>(m_pGrid) : rows)->SetFocus();
}

void CRowListCtrl::ResetColumns() {
  DeleteAllColumns();
  const std::vector<int> widths = FirstColumnWidths([this](const std::string& text) { return TextWidth(text); },
                                                    [this](int length) { return FromDIP(length); });
  for (int column = 0; column < LIST_COLUMN_COUNT; ++column)
    InsertColumn(column, wxString::FromUTF8(kColumnTitles[column]), wxLIST_FORMAT_LEFT, widths[std::size_t(column)]);
  ApplySortColumn();
}

void CRowListCtrl::ShowSortColumn(int column, bool ascending) {
  m_nSortColumn = column >= 0 && column < LIST_COLUMN_COUNT ? column : -1;
  m_bSortAscending = ascending;
  ApplySortColumn();
}

void CRowListCtrl::ApplySortColumn() {
  if (!InReportView() || GetColumnCount() != LIST_COLUMN_COUNT) return;
  if (m_nSortColumn < 0)
    RemoveSortIndicator();
  else
    ShowSortIndicator(m_nSortColumn, m_bSortAscending);
}

std::string CRowListCtrl::ColumnHeading(int column) {
  return column >= 0 && column < LIST_COLUMN_COUNT ? kColumnTitles[column] : "";
}

std::vector<int> CRowListCtrl::GetColumnWidths() const {
  // The control counts one column outside the details style.
  if (!InReportView()) return m_vecColumnWidths;
  std::vector<int> widths;
  for (int column = 0; column < GetColumnCount(); ++column) widths.push_back(GetColumnWidth(column));
  return widths;
}

void CRowListCtrl::SetColumnWidths(const std::vector<int>& widths) {
  if (int(widths.size()) != LIST_COLUMN_COUNT) return;
  m_vecColumnWidths = widths;
  if (!InReportView() || GetColumnCount() != LIST_COLUMN_COUNT) return;
  for (int column = 0; column < LIST_COLUMN_COUNT; ++column) SetColumnWidth(column, widths[std::size_t(column)]);
}

void CRowListCtrl::SetRows(const std::vector<CListRow>* rows) { m_pRows = rows; }

const std::vector<CListRow>& CRowListCtrl::Rows() const {
  static const std::vector<CListRow> kNone;
  return m_pRows ? *m_pRows : kNone;
}

long CRowListCtrl::GetDisplayStyle() const { return m_nStyle; }

void CRowListCtrl::SetDisplayStyle(long style) {
  style &= wxLC_MASK_TYPE;
  const long old = m_nStyle;
  if (style == 0 || style == old) return;
  wxWindowUpdateLocker noUpdates(this);
  // In the icon styles the toolkit's list stays empty behind the grid.
  const long shown = style == wxLC_REPORT ? wxLC_REPORT : wxLC_LIST;
  long flags = (GetWindowStyleFlag() & ~(wxLC_MASK_TYPE | wxLC_VIRTUAL)) | shown;
  if (style == wxLC_REPORT || kAlwaysVirtual) flags |= wxLC_VIRTUAL;
  // The items are made again from the rows, so that the control lays them
  // out for the new style (it keeps the old places otherwise); the
  // selection goes with them.
  const std::vector<long> selected = GetSelectedRows();
  const long focus = GetFocusedRow();
  m_nStyle = style;
  if (old == wxLC_REPORT) m_vecColumnWidths = GetColumnWidths();
  DeleteAllItems();
  SetWindowStyleFlag(flags);
  if (style == wxLC_REPORT) {
    SetColumnWidths(m_vecColumnWidths);
    ApplySortColumn();
  } else if (style == wxLC_LIST && kAlwaysVirtual) {
    // It cannot measure rows it does not hold: the width the names are cut at.
    SetColumnWidth(0, FromDIP(kListLabelWidth));
  }
  ShowGridOrRows();
  InsertRowItems();
  SelectRows(selected, focus);
}

void CRowListCtrl::ShowRows() {
  wxWindowUpdateLocker noUpdates(this);
  DeleteAllItems();
  InsertRowItems();
  Refresh();
}

void CRowListCtrl::InsertRowItems() {
  const auto& rows = Rows();
  if (InGrid()) {
    std::vector<wxString> labels;
    std::vector<int> images;
    labels.reserve(rows.size());
    images.reserve(rows.size());
    for (const CListRow& row : rows) {
      labels.push_back(ShownName(row));
      images.push_back(row.m_nImage);
    }
    const bool large = m_nStyle == wxLC_ICON;
    m_pGrid->SetItems(std::move(labels), std::move(images), large);
    return;
  }
  if (HasFlag(wxLC_VIRTUAL)) {
    SetItemCount(long(rows.size()));
    return;
  }
  for (std::size_t i = 0; i < rows.size(); ++i) InsertItem(long(i), ShownName(rows[i]), rows[i].m_nImage);
}

wxString CRowListCtrl::ShownName(const CListRow& row) const {
  // A long name is cut with "…" rather than run into its neighbours. Short
  // names are not measured: a folder may hold a hundred thousand.
  const wxString name = wxString::FromUTF8(DisplayName(row.m_strName));
  if (name.length() <= kShortName) return name;
  wxClientDC dc(const_cast<CRowListCtrl*>(this));
  dc.SetFont(GetFont());
  const wxString cut = wxControl::Ellipsize(name, dc, wxELLIPSIZE_END,
                                            FromDIP(m_nStyle == wxLC_ICON         ? CIconGrid::kLargeLabelWidth
                                                    : m_nStyle == wxLC_SMALL_ICON ? CIconGrid::kSmallLabelWidth
                                                                                  : kListLabelWidth));
  // wx cuts with three dots; the one-character ellipsis takes less room.
  if (cut == name || !cut.EndsWith("...")) return cut;
  return cut.Left(cut.length() - 3) + wxString::FromUTF8("…");
}

void CRowListCtrl::RefreshRows() {
  const auto& rows = Rows();
  if (rows.empty()) return;
  if (InGrid()) {
    for (std::size_t i = 0; i < rows.size() && long(i) < m_pGrid->GetCount(); ++i)
      m_pGrid->SetItem(long(i), ShownName(rows[i]), rows[i].m_nImage);
    return;
  }
  if (HasFlag(wxLC_VIRTUAL)) {
    RefreshItems(0, long(rows.size()) - 1);
    return;
  }
  wxWindowUpdateLocker noUpdates(this);
  for (std::size_t i = 0; i < rows.size() && long(i) < GetItemCount(); ++i) {
    SetItemText(long(i), ShownName(rows[i]));
    SetItemImage(long(i), rows[i].m_nImage);
  }
}

void CRowListCtrl::RefreshRow(long row) {
  if (InGrid()) {
    if (row >= 0 && std::size_t(row) < Rows().size())
      m_pGrid->SetItem(row, ShownName(Rows()[std::size_t(row)]), Rows()[std::size_t(row)].m_nImage);
    return;
  }
  if (row >= 0 && row < GetItemCount()) RefreshItem(row);
}

std::vector<long> CRowListCtrl::GetSelectedRows() const {
  if (InGrid()) return m_pGrid->GetSelected();
  std::vector<long> rows;
  rows.reserve(std::size_t(GetSelectedItemCount()));
  for (long i = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
       i = GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    rows.push_back(i);
  return rows;
}

long CRowListCtrl::GetSelectedCount() const {
  return InGrid() ? long(m_pGrid->GetSelected().size()) : GetSelectedItemCount();
}

long CRowListCtrl::GetFirstSelectedRow() const {
  if (!InGrid()) return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  const std::vector<long> rows = m_pGrid->GetSelected();
  return rows.empty() ? -1 : rows.front();
}

void CRowListCtrl::ShowRow(long row) {
  if (InGrid())
    m_pGrid->EnsureVisible(row);
  else if (row >= 0 && row < GetRowCount())
    EnsureVisible(row);
}

long CRowListCtrl::GetRowCount() const { return InGrid() ? m_pGrid->GetCount() : GetItemCount(); }

wxRect CRowListCtrl::GetRowRect(long row) const {
  if (InGrid()) return m_pGrid->GetItemRect(row);
  wxRect rect;
  if (row >= 0 && row < GetItemCount()) GetItemRect(row, rect);
  return rect;
}

wxString CRowListCtrl::GetRowLabel(long row) const {
  if (InGrid()) return row >= 0 && row < m_pGrid->GetCount() ? m_pGrid->GetLabel(row) : wxString();
  return row >= 0 && row < GetItemCount() ? GetItemText(row) : wxString();
}

long CRowListCtrl::GetFocusedRow() const {
  if (InGrid()) return m_pGrid->GetFocused();
  return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
}

void CRowListCtrl::SelectRows(const std::vector<long>& rows, long focus) {
  if (InGrid()) {
    m_pGrid->Select(rows, focus);
    return;
  }
  const long count = GetItemCount();
  if (count == 0) return;
  SetItemState(-1, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  if (long(rows.size()) == count) {
    SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  } else {
    for (long row : rows)
      if (row >= 0 && row < count) SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  }
  if (focus >= 0 && focus < count) SetItemState(focus, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

wxWindow* CRowListCtrl::GetRowsWindow() const { return InGrid() ? m_pGrid : ToolkitRowsWindow(); }

wxWindow* CRowListCtrl::ToolkitRowsWindow() const {
#ifdef __WXMSW__
  // The native control takes the clicks on its rows itself.
  return const_cast<CRowListCtrl*>(this);
#else
  // The generic control's own window type is not public; its address is.
  for (wxWindow* child : GetChildren())
    if (static_cast<const void*>(child) == static_cast<const void*>(m_mainWin)) return child;
  return nullptr;
#endif
}

void CRowListCtrl::SelectRowForRightClick(const wxPoint& point) {
  if (InGrid()) {
    const long row = m_pGrid->HitTest(point);
    if (row >= 0 && !m_pGrid->IsSelected(row)) m_pGrid->Select({row}, row);
    return;
  }
  int flags = 0;
  const long row = HitTest(point, flags);
  if (row < 0 || row >= GetItemCount() || !(flags & wxLIST_HITTEST_ONITEM)) return;
  if (GetItemState(row, wxLIST_STATE_SELECTED) & wxLIST_STATE_SELECTED) return;
  SelectRows({row}, row);
}

wxString CRowListCtrl::OnGetItemText(long item, long column) const {
  const auto& rows = Rows();
  if (item < 0 || std::size_t(item) >= rows.size()) return wxString();
  const std::string& text = CellText(rows[std::size_t(item)], int(column));
  // A row has one line; the information sheet shows the note whole.
  if (column == LIST_COLUMN_NOTE) return wxString::FromUTF8(OneLineText(text));
  if (column == LIST_COLUMN_NAME) return wxString::FromUTF8(DisplayName(text));
  return wxString::FromUTF8(text);
}

int CRowListCtrl::OnGetItemImage(long item) const {
  const auto& rows = Rows();
  if (item < 0 || std::size_t(item) >= rows.size()) return -1;
  return rows[std::size_t(item)].m_nImage;
}
