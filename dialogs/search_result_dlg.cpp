#include "dialogs/search_result_dlg.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "dialogs/dialog_font.h"
#include "dialogs/icon_index_source.h"
#include "dialogs/search_fields.h"
#include "dialogs/xrc_layout.h"
#include "model/text_format.h"

namespace {

enum { COLUMN_FILE = 0, COLUMN_CATALOG = 1 };

}  // namespace

// The results list of the layout: it shows the dialog's rows.
class CResultListCtrl : public wxListCtrl {
 public:
  void SetRows(const std::vector<CResultRow>* rows) {
    m_pRows = rows;
    SetItemCount(rows ? long(rows->size()) : 0);
  }

 protected:
  wxString OnGetItemText(long item, long column) const override {
    const CResultRow* row = Row(item);
    if (!row) return wxString();
    return wxString::FromUTF8(column == COLUMN_CATALOG ? DisplayName(row->m_strCatalog) : ResultFileText(*row));
  }
  int OnGetItemImage(long item) const override {
    const CResultRow* row = Row(item);
    return row ? row->m_nImage : -1;
  }

 private:
  const CResultRow* Row(long item) const {
    return m_pRows && item >= 0 && std::size_t(item) < m_pRows->size() ? &(*m_pRows)[std::size_t(item)] : nullptr;
  }

  const std::vector<CResultRow>* m_pRows = nullptr;

  wxDECLARE_DYNAMIC_CLASS(CResultListCtrl);
};

wxIMPLEMENT_DYNAMIC_CLASS(CResultListCtrl, wxListCtrl);

namespace {

// Distance of window's right and bottom edge from those of a parent of size.
wxSize OffsetFromCorner(const wxWindow* window, const wxSize& parent) {
  const wxRect rect = window->GetRect();
  return wxSize(parent.x - rect.GetRight(), parent.y - rect.GetBottom());
}

}  // namespace

CSearchResultDlg::CSearchResultDlg(wxWindow* parent, const CItemSummaryList& results)
    : CSearchResultDlg(parent, results, GetIconIndexSource()) {}

CSearchResultDlg::CSearchResultDlg(wxWindow* parent, const CItemSummaryList& results, CIconIndexSource& icons)
    : CSearchResultDlg(parent, results, &icons) {}

CSearchResultDlg::CSearchResultDlg(wxWindow* parent, const CItemSummaryList& results, CIconIndexSource* icons)
    : m_pResults(&results) {
  Create(parent, wxID_ANY, wxString::FromUTF8("検索結果"), wxDefaultPosition, wxDefaultSize,
         wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
  ApplyDialogFont(this);
  m_pLayout = LoadDialogLayout(this, "SearchResultLayout");
  wxCHECK_RET(m_pLayout, "no layout SearchResultLayout");
  m_pList = XRCCTRL(*this, "ID_RESULT_LIST", wxListCtrl);
  m_pCount = XRCCTRL(*this, "ID_RESULT_COUNT", wxStaticText);
  m_pSelectButton = FindWindow(wxID_OK);
  m_pCancelButton = FindWindow(wxID_CANCEL);
  wxCHECK_RET(m_pList && m_pCount && m_pSelectButton && m_pCancelButton, "incomplete layout SearchResultLayout");
  SetMinSize(wxSize(kMinWidth, kMinHeight));

  FillList(icons);

  const wxSize layout = m_pLayout->GetClientSize();
  m_sizeCountOffset = OffsetFromCorner(m_pCount, layout);
  m_sizeListOffset = OffsetFromCorner(m_pList, layout);
  m_sizeSelectOffset = OffsetFromCorner(m_pSelectButton, layout);
  m_sizeCancelOffset = OffsetFromCorner(m_pCancelButton, layout);
  if (auto* select = dynamic_cast<wxButton*>(m_pSelectButton)) select->SetDefault();

  m_pLayout->Bind(wxEVT_SIZE, &CSearchResultDlg::OnLayoutSize, this);
  Bind(wxEVT_BUTTON, &CSearchResultDlg::OnSelect, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CSearchResultDlg::OnCancel, this, wxID_CANCEL);
  Bind(wxEVT_CHAR_HOOK, &CSearchResultDlg::OnCharHook, this);
  m_pList->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CSearchResultDlg::OnItemActivated, this);
}

CSearchResultDlg::~CSearchResultDlg() {
  // The list may still draw while the dialog goes; the rows go first.
  if (auto* list = dynamic_cast<CResultListCtrl*>(m_pList)) list->SetRows(nullptr);
}

void CSearchResultDlg::FillList(CIconIndexSource* icons) {
  if (icons) {
    m_pList->SetImageList(icons->GetSmallImageList(), wxIMAGE_LIST_SMALL);
    m_pList->SetImageList(icons->GetLargeImageList(), wxIMAGE_LIST_NORMAL);
  }
  m_pList->InsertColumn(COLUMN_FILE, wxString::FromUTF8("ファイル"), wxLIST_FORMAT_LEFT, 300);
  m_pList->InsertColumn(COLUMN_CATALOG, wxString::FromUTF8("カタログ"), wxLIST_FORMAT_LEFT, 100);

  // The image comes from the item's own name: the path's folders and the
  // catalog's label may hold dots that are no extension of the item.
  // Without a source (no window yet) the rows have the fixed images' places.
  std::vector<CResultRow> rows = MakeResultRows(*m_pResults, [icons](const CItemSummary& record) {
    if (!icons) return record.m_bCatalog ? 2 : record.m_bContainer ? 1 : 0;
    return icons->GetImageIndex(record.m_strName, record.m_bContainer, record.m_bCatalog, false);
  });
  SortResultRows(rows, icons ? icons->GetFolderIndex(false) : 1);
  m_vecRows = std::move(rows);
  if (auto* list = dynamic_cast<CResultListCtrl*>(m_pList)) list->SetRows(&m_vecRows);
  m_pCount->SetLabel(wxString::FromUTF8(ResultCountText(m_pList->GetItemCount())));

  // Each label measured once: the results of one catalog share theirs.
  int labelWidth = 0;
  const std::string* measured = nullptr;
  for (const CResultRow& row : m_vecRows) {
    if (measured && *measured == row.m_strCatalog) continue;
    measured = &row.m_strCatalog;
    labelWidth = std::max(labelWidth, m_pList->GetTextExtent(wxString::FromUTF8(row.m_strCatalog)).x);
  }
  const auto [fileWidth, catalogWidth] = ResultColumnWidths(
      m_pList->GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, m_pList), labelWidth);
  m_pList->SetColumnWidth(COLUMN_FILE, fileWidth);
  m_pList->SetColumnWidth(COLUMN_CATALOG, catalogWidth);

  // The first row is chosen already, so that "選択" and Enter act at once.
  if (m_pList->GetItemCount() > 0) {
    m_pList->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_pList->SetFocus();
  }
}

void CSearchResultDlg::OnCharHook(wxKeyEvent& event) {
  // The list would take Enter for itself; here it chooses the selected row,
  // unless a button has the focus and so takes it.
  const int key = event.GetKeyCode();
  if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !dynamic_cast<wxButton*>(FindFocus())) {
    wxCommandEvent select(wxEVT_BUTTON, wxID_OK);
    OnSelect(select);
    return;
  }
  event.Skip();
}

void CSearchResultDlg::OnSelect(wxCommandEvent&) {
  const long selected = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  if (selected >= 0 && std::size_t(selected) < m_vecRows.size()) {
    const CResultRow& row = m_vecRows[std::size_t(selected)];
    m_strSelectedPath = RebuildResultPath(row.m_strCatalog, row.m_strFile);
  }
  EndWith(wxID_OK);
}

void CSearchResultDlg::OnItemActivated(wxListEvent& event) {
  // A double click chooses its row, as 選択 does the selected one. (Enter
  // is the char hook's.)
  const long row = event.GetIndex();
  if (row < 0 || row >= m_pList->GetItemCount()) return;
  m_pList->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
  m_pList->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  wxCommandEvent select(wxEVT_BUTTON, wxID_OK);
  OnSelect(select);
}

void CSearchResultDlg::OnCancel(wxCommandEvent&) { EndWith(wxID_CANCEL); }

void CSearchResultDlg::EndWith(int code) {
  SetReturnCode(code);
  EndDialog(code);
}

void CSearchResultDlg::OnLayoutSize(wxSizeEvent& event) {
  // The count (two lines high, so that it can wrap) widens with the list,
  // which stretches; the buttons keep their size and their distance from the
  // lower right corner.
  const wxSize layout = m_pLayout->GetClientSize();
  const wxRect count = m_pCount->GetRect();
  m_pCount->SetSize(count.x, count.y, layout.x - m_sizeCountOffset.x - count.x + 1, count.height);
  const wxRect list = m_pList->GetRect();
  m_pList->SetSize(list.x, list.y, layout.x - m_sizeListOffset.x - list.x + 1,
                   layout.y - m_sizeListOffset.y - list.y + 1);
  for (auto [button, offset] :
       {std::pair{m_pSelectButton, m_sizeSelectOffset}, std::pair{m_pCancelButton, m_sizeCancelOffset}}) {
    const wxSize size = button->GetSize();
    button->Move(layout.x - offset.x - size.x + 1, layout.y - offset.y - size.y + 1);
  }
  m_pLayout->Refresh();
  m_pLayout->Update();
  event.Skip();
}
