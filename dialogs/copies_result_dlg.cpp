#include "dialogs/copies_result_dlg.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "dialogs/dialog_font.h"

namespace {

wxString Wx(const std::string& text) { return wxString::FromUTF8(text); }

int ColumnWidth(ECopyColumn column) {
  switch (column) {
    case ECopyColumn::Path: return 240;
    case ECopyColumn::Catalog: return 130;
    case ECopyColumn::Time: return 150;
    case ECopyColumn::Waste:
    case ECopyColumn::Size: return 80;
    case ECopyColumn::Likely: return 50;
    default: return 60;
  }
}

bool RightAligned(ECopyColumn column) {
  return column != ECopyColumn::Path && column != ECopyColumn::Catalog && column != ECopyColumn::Time &&
         column != ECopyColumn::Likely;
}

// Asks the results for each cell it draws.
class CCopyListCtrl : public wxListCtrl {
 public:
  CCopyListCtrl(wxWindow* parent, const CCopyResults& results)
      : wxListCtrl(parent, CCopiesResultDlg::ID_RESULTS, wxDefaultPosition, wxSize(820, 300),
                   wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxBORDER_SUNKEN),
        m_results(results),
        m_columns(results.Columns()) {
    for (std::size_t c = 0; c < m_columns.size(); ++c)
      AppendColumn(Wx(CopyColumnTitle(m_columns[c])),
                   RightAligned(m_columns[c]) ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT, ColumnWidth(m_columns[c]));
    SetItemCount(long(results.RowCount()));
  }

 protected:
  wxString OnGetItemText(long item, long column) const override {
    if (column < 0 || std::size_t(column) >= m_columns.size()) return wxString();
    return Wx(m_results.CellText(std::size_t(item), m_columns[std::size_t(column)]));
  }

 private:
  const CCopyResults& m_results;
  std::vector<ECopyColumn> m_columns;
};

}  // namespace

CCopiesResultDlg::CCopiesResultDlg(wxWindow* parent, const CCopyResults& results) : m_results(results) {
  Create(parent, wxID_ANY, Wx(results.IsDuplicates() ? "重複ファイル" : "他にコピーのないファイル"), wxDefaultPosition,
         wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
  ApplyDialogFont(this);
  auto* top = new wxBoxSizer(wxVERTICAL);
  const auto flags = wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxTOP, 8);

  if (!results.IsDuplicates()) {
    m_pSummary = new wxListCtrl(this, ID_SUMMARY, wxDefaultPosition, wxSize(-1, 110),
                                wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_SUNKEN);
    m_pSummary->AppendColumn(Wx("カタログ"), wxLIST_FORMAT_LEFT, 220);
    m_pSummary->AppendColumn(Wx("ファイル"), wxLIST_FORMAT_RIGHT, 100);
    m_pSummary->AppendColumn(Wx("バイト"), wxLIST_FORMAT_RIGHT, 180);
    m_pSummary->AppendColumn(Wx("割合"), wxLIST_FORMAT_RIGHT, 80);
    for (const CCopySummaryLine& line : results.Summary()) {
      const long row = m_pSummary->InsertItem(m_pSummary->GetItemCount(), Wx(line.strCatalog));
      m_pSummary->SetItem(row, 1, Wx(line.strFiles));
      m_pSummary->SetItem(row, 2, Wx(line.strBytes));
      m_pSummary->SetItem(row, 3, Wx(line.strShare));
    }
    top->Add(m_pSummary, flags);
  }

  top->Add(new wxStaticText(this, ID_COUNT, Wx(results.CountText())), flags);
  m_pList = new CCopyListCtrl(this, results);
  top->Add(m_pList, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxTOP, 8));
  m_pStatus = new wxStaticText(this, ID_STATUS, wxString());
  top->Add(m_pStatus, flags);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* go = new wxButton(this, wxID_OK, Wx("移動"));
  go->SetDefault();
  go->Disable();
  buttons->Add(go);
  buttons->Add(new wxButton(this, wxID_CANCEL, Wx("閉じる")), wxSizerFlags().Border(wxLEFT, 8));
  top->Add(buttons, wxSizerFlags().Right().Border(wxALL, 8));
  SetSizerAndFit(top);

  m_pList->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CCopiesResultDlg::OnActivated, this);
  m_pList->Bind(wxEVT_LIST_ITEM_SELECTED, &CCopiesResultDlg::OnSelectionChanged, this);
  m_pList->Bind(wxEVT_LIST_ITEM_DESELECTED, &CCopiesResultDlg::OnSelectionChanged, this);
  Bind(wxEVT_BUTTON, &CCopiesResultDlg::OnGo, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CCopiesResultDlg::OnClose, this, wxID_CANCEL);
}

std::string CCopiesResultDlg::GetStatus() const { return m_pStatus->GetLabel().utf8_string(); }

void CCopiesResultDlg::OnSelectionChanged(wxListEvent&) {
  const long row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  m_pStatus->SetLabel(Wx(row < 0 ? std::string() : CopyRowStatus(m_results, row)));
  FindWindow(wxID_OK)->Enable(row >= 0 && !m_results.OpenSetPath(std::size_t(row)).empty());
}

void CCopiesResultDlg::OnActivated(wxListEvent& event) { GoTo(event.GetIndex()); }

void CCopiesResultDlg::OnGo(wxCommandEvent&) { GoTo(m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)); }

void CCopiesResultDlg::GoTo(long row) {
  if (row < 0) return;
  const std::string path = m_results.OpenSetPath(std::size_t(row));
  if (path.empty()) {
    m_pStatus->SetLabel(Wx(CopyRowStatus(m_results, row)));
    return;
  }
  m_strSelectedPath = path;
  EndWith(wxID_OK);
}

void CCopiesResultDlg::OnClose(wxCommandEvent&) { EndWith(wxID_CANCEL); }

void CCopiesResultDlg::EndWith(int code) {
  SetReturnCode(code);
  EndDialog(code);
}

std::string CopyRowStatus(const CCopyResults& results, long row) {
  if (row < 0 || std::size_t(row) >= results.RowCount() || !results.OpenSetPath(std::size_t(row)).empty()) return {};
  return "ほかのカタログセットの項目には移動できません";
}
