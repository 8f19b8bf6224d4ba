#include "dialogs/verify_result_dlg.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "model/text_format.h"

std::vector<CVerifyRow> VerifyResultRows(const CVerifyResult& result, std::size_t perKind) {
  std::vector<CVerifyRow> rows;
  for (int kind = 0; kind < kVerifyKinds; ++kind) {
    const char* name = VerifyKindName(EVerifyKind(kind));
    std::size_t listed = 0;
    for (const CVerifyFinding& finding : result.findings)
      if (int(finding.eKind) == kind && listed++ < perKind) rows.push_back({name, finding.strPath});
    if (result.aCounts[kind] > perKind)
      rows.push_back({name, "ほか " + FormatCount(result.aCounts[kind] - perKind) + " 件", false});
  }
  return rows;
}

std::string VerifyResultMessage(const std::string& label, const CVerifyResult& result) {
  std::string message = result.Matches() ? "カタログ " + label + " はメディアと一致しました"
                        : result.Damaged() ? "カタログ " + label + " のメディアに壊れているか読めないファイルがあります"
                                           : "カタログ " + label + " とメディアに違いがあります";
  if (!result.bHasFingerprints) message += "\nこのカタログにはハッシュがないため、サイズと更新日時だけで検証しました";
  return message;
}

CVerifyResultDlg::CVerifyResultDlg(wxWindow* parent, const std::string& label, const CVerifyResult& result)
    : CValueDialog(parent, "カタログの検証", "VerifyResultLayout"), m_rows(VerifyResultRows(result)) {
  const auto set = [this](const std::string& name, const std::string& text) {
    if (auto* control = dynamic_cast<wxStaticText*>(FindWindow(XRCID(name.c_str()))))
      control->SetLabel(wxString::FromUTF8(text));
  };
  set("ID_MESSAGE", VerifyResultMessage(label, result));
  for (int kind = 0; kind < kVerifyKinds; ++kind) {
    set("ID_KIND" + std::to_string(kind), std::string(VerifyKindName(EVerifyKind(kind))) + ":");
    set("ID_COUNT" + std::to_string(kind), FormatCount(result.aCounts[kind]));
  }
  set("ID_COMPARED", FormatCount(result.nContentsCompared));

  m_pList = XRCCTRL(*this, "ID_FINDINGS", wxListCtrl);
  wxCHECK_RET(m_pList, "incomplete layout VerifyResultLayout");
  m_pList->InsertColumn(0, wxString::FromUTF8("種類"), wxLIST_FORMAT_LEFT, FromDIP(90));
  m_pList->InsertColumn(1, wxString::FromUTF8("パス"), wxLIST_FORMAT_LEFT, FromDIP(300));
  for (const CVerifyRow& row : m_rows) {
    const long index = m_pList->InsertItem(m_pList->GetItemCount(), wxString::FromUTF8(row.m_strKind));
    m_pList->SetItem(index, 1, wxString::FromUTF8(row.m_strPath));
  }
  m_pList->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CVerifyResultDlg::OnActivated, this);

  // With something to go to, the first row is chosen already, so that
  // "選択" and Enter act at once; else the dialog only closes.
  auto* select = dynamic_cast<wxButton*>(FindWindow(wxID_OK));
  auto* close = dynamic_cast<wxButton*>(FindWindow(wxID_CANCEL));
  if (!m_rows.empty()) {
    m_pList->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                          wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_pList->SetFocus();
    if (select) select->SetDefault();
  } else {
    if (select) select->Disable();
    if (close) {
      close->SetDefault();
      close->SetFocus();
    }
  }
}

bool CVerifyResultDlg::TransferDataFromWindow() {
  m_strSelectedPath.clear();
  const long selected = m_pList ? m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) : -1;
  if (selected >= 0 && std::size_t(selected) < m_rows.size() && m_rows[std::size_t(selected)].m_bFinding)
    m_strSelectedPath = m_rows[std::size_t(selected)].m_strPath;
  return true;
}

void CVerifyResultDlg::OnActivated(wxListEvent&) {
  if (TransferDataFromWindow()) EndWith(wxID_OK);
}
