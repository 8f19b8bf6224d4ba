#include "dialogs/copies_dlg.h"

#include <wx/button.h>
#include <wx/checklst.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/listbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "dialogs/copy_rows.h"
#include "dialogs/dialog_font.h"
#include "dialogs/message_box.h"
#include "dialogs/open_file_dialog.h"

namespace {

wxString Wx(const std::string& text) { return wxString::FromUTF8(text); }

wxStaticText* Label(wxWindow* parent, const char* text) { return new wxStaticText(parent, wxID_ANY, Wx(text)); }

}  // namespace

CCopiesDlg::CCopiesDlg(wxWindow* parent, CCopiesDlgSetup setup) : m_setup(std::move(setup)) {
  Create(parent, wxID_ANY, Wx(m_setup.bFewCopies ? "他にコピーのないファイル" : "重複ファイルを探す"),
         wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
  ApplyDialogFont(this);
  auto* top = new wxBoxSizer(wxVERTICAL);
  const auto flags = wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxTOP, 8);

  wxArrayString modes;
  for (ECopyMatch by : kCopyMatchModes) modes.Add(Wx(CopyMatchText(by)));
  m_pMatch = new wxRadioBox(this, ID_MATCH, Wx("照合方法"), wxDefaultPosition, wxDefaultSize, modes, 1);
  top->Add(m_pMatch, flags);

  auto* sizes = new wxFlexGridSizer(3, 4, 8);
  sizes->Add(Label(this, "最小サイズ:"), wxSizerFlags().CenterVertical());
  m_pMinSize = new wxTextCtrl(this, ID_MIN_SIZE, "1");
  sizes->Add(m_pMinSize);
  sizes->Add(Label(this, "バイト"), wxSizerFlags().CenterVertical());
  if (m_setup.bFewCopies) {
    sizes->Add(Label(this, "コピーの数がこれ未満:"), wxSizerFlags().CenterVertical());
    m_pFewerThan =
        new wxSpinCtrl(this, ID_FEWER_THAN, "2", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 1, 1000000, 2);
    sizes->Add(m_pFewerThan);
    sizes->AddSpacer(0);
  }
  top->Add(sizes, flags);

  if (m_setup.bFewCopies) {
    top->Add(Label(this, "対象のカタログ:"), flags);
    m_pCatalogs = new wxCheckListBox(this, ID_CATALOGS, wxDefaultPosition, wxSize(-1, 100));
    top->Add(m_pCatalogs, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT, 8));
    if (m_setup.pOpenSet) AddCatalogs(*m_setup.pOpenSet, std::string());
  }

  top->Add(Label(this, "比較するほかのカタログセット:"), flags);
  auto* others = new wxBoxSizer(wxHORIZONTAL);
  m_pOtherSets = new wxListBox(this, ID_OTHER_SETS, wxDefaultPosition, wxSize(320, 70));
  others->Add(m_pOtherSets, wxSizerFlags(1).Expand());
  auto* buttons = new wxBoxSizer(wxVERTICAL);
  buttons->Add(new wxButton(this, ID_BROWSE_SET, Wx("追加...")), wxSizerFlags().Expand());
  buttons->Add(new wxButton(this, ID_REMOVE_SET, Wx("削除")), wxSizerFlags().Expand().Border(wxTOP, 4));
  others->Add(buttons, wxSizerFlags().Border(wxLEFT, 8));
  top->Add(others, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT, 8));

  auto* recent = new wxBoxSizer(wxHORIZONTAL);
  recent->Add(Label(this, "最近使ったファイル:"), wxSizerFlags().CenterVertical());
  m_pRecent = new wxChoice(this, ID_RECENT_SETS);
  recent->Add(m_pRecent, wxSizerFlags(1).Border(wxLEFT, 4));
  recent->Add(new wxButton(this, ID_ADD_RECENT, Wx("追加")), wxSizerFlags().Border(wxLEFT, 8));
  top->Add(recent, flags);
  FillRecent();

  auto* ends = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  ends->Add(ok);
  ends->Add(new wxButton(this, wxID_CANCEL, Wx("キャンセル")), wxSizerFlags().Border(wxLEFT, 8));
  top->Add(ends, wxSizerFlags().Right().Border(wxALL, 8));
  SetSizerAndFit(top);

  Bind(wxEVT_BUTTON, &CCopiesDlg::OnBrowse, this, ID_BROWSE_SET);
  Bind(wxEVT_BUTTON, &CCopiesDlg::OnAddRecent, this, ID_ADD_RECENT);
  Bind(wxEVT_BUTTON, &CCopiesDlg::OnRemove, this, ID_REMOVE_SET);
  Bind(wxEVT_BUTTON, &CCopiesDlg::OnOk, this, wxID_OK);
  Bind(wxEVT_BUTTON, &CCopiesDlg::OnCancel, this, wxID_CANCEL);
}

CCopiesDlg::~CCopiesDlg() = default;

void CCopiesDlg::AddCatalogs(const CRootFileInfo& set, const std::string& prefix) {
  std::size_t count = 0;
  for (const auto& child : set.Children()) {
    if (!child->IsCatalog()) continue;
    const unsigned at = m_pCatalogs->Append(Wx(prefix + std::string(child->GetName())));
    m_pCatalogs->Check(at);
    ++count;
  }
  if (!prefix.empty()) m_vecCatalogCounts.push_back(count);
}

void CCopiesDlg::FillRecent() {
  m_pRecent->Clear();
  for (const std::string& path : m_setup.recentSets)
    if (std::find(m_vecPaths.begin(), m_vecPaths.end(), path) == m_vecPaths.end()) m_pRecent->Append(Wx(path));
  if (!m_pRecent->IsEmpty()) m_pRecent->SetSelection(0);
  if (wxWindow* add = FindWindow(ID_ADD_RECENT)) add->Enable(!m_pRecent->IsEmpty());
}

bool CCopiesDlg::AddSet(const std::string& path) {
  if (path.empty() || std::find(m_vecPaths.begin(), m_vecPaths.end(), path) != m_vecPaths.end()) return false;
  std::unique_ptr<CRootFileInfo> set = m_setup.loadSet ? m_setup.loadSet(path) : nullptr;
  if (!set) return false;
  const std::string name = wxFileNameFromPath(Wx(path)).utf8_string();
  if (m_pCatalogs) AddCatalogs(*set, name + ": ");
  m_vecPaths.push_back(path);
  m_vecSets.push_back(std::move(set));
  m_pOtherSets->Append(Wx(path));
  m_pOtherSets->SetSelection(int(m_vecPaths.size()) - 1);
  FillRecent();
  return true;
}

void CCopiesDlg::OnBrowse(wxCommandEvent&) {
  std::string path;
  if (AskExistingFile(this, m_setup.strWildcard, std::string(), path)) AddSet(path);
}

void CCopiesDlg::OnAddRecent(wxCommandEvent&) {
  if (m_pRecent->GetSelection() != wxNOT_FOUND) AddSet(m_pRecent->GetStringSelection().utf8_string());
}

void CCopiesDlg::OnRemove(wxCommandEvent&) {
  const int selected = m_pOtherSets->GetSelection();
  if (selected == wxNOT_FOUND) return;
  const auto index = std::size_t(selected);
  if (m_pCatalogs) {
    // The set's catalogs follow the open set's and those of the sets before it.
    unsigned first = m_pCatalogs->GetCount();
    for (std::size_t i = index; i < m_vecCatalogCounts.size(); ++i) first -= unsigned(m_vecCatalogCounts[i]);
    for (std::size_t n = 0; n < m_vecCatalogCounts[index]; ++n) m_pCatalogs->Delete(first);
    m_vecCatalogCounts.erase(m_vecCatalogCounts.begin() + std::ptrdiff_t(index));
  }
  m_vecPaths.erase(m_vecPaths.begin() + std::ptrdiff_t(index));
  m_vecSets.erase(m_vecSets.begin() + std::ptrdiff_t(index));
  m_pOtherSets->Delete(unsigned(selected));
  FillRecent();
}

bool CCopiesDlg::TransferDataFromWindow() {
  const std::optional<std::uint64_t> minSize = ParseByteCount(m_pMinSize->GetValue().utf8_string());
  if (!minSize) {
    AppMessageBox("最小サイズにはバイト数を入力してください", wxOK | wxICON_EXCLAMATION, this);
    m_pMinSize->SetFocus();
    return false;
  }
  m_options.nMinSize = std::max<std::uint64_t>(*minSize, 1);
  m_options.eBy = kCopyMatchModes[std::max(0, m_pMatch->GetSelection())];
  m_vecChosen.clear();
  if (m_pCatalogs) {
    m_nFewerThan = std::uint32_t(m_pFewerThan->GetValue());
    for (unsigned i = 0; i < m_pCatalogs->GetCount(); ++i)
      if (m_pCatalogs->IsChecked(i)) m_vecChosen.push_back(i);
    if (m_vecChosen.empty()) {
      AppMessageBox("対象のカタログを選んでください", wxOK | wxICON_EXCLAMATION, this);
      return false;
    }
    if (m_vecChosen.size() == m_pCatalogs->GetCount()) m_vecChosen.clear();
  }
  return true;
}

void CCopiesDlg::OnOk(wxCommandEvent&) {
  if (Validate() && TransferDataFromWindow()) EndWith(wxID_OK);
}

void CCopiesDlg::OnCancel(wxCommandEvent&) { EndWith(wxID_CANCEL); }

void CCopiesDlg::EndWith(int code) {
  SetReturnCode(code);
  EndDialog(code);
}
