#include "tests/gui/doc_test_util.h"

#include <dlfcn.h>

#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dialogs/find_by_text_page.h"
#include "document/doc_manager.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "document/hints.h"

// ---------------------------------------------------------------------------

CTestHome::CTestHome() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quarrix-doc-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a temporary folder";
  m_strPath = pattern;
  std::filesystem::create_directories(ConfigHome());
  std::filesystem::create_directories(DataHome());
  for (const auto& [name, value] : {std::pair<const char*, std::string>{"HOME", m_strPath},
                                    {"XDG_CONFIG_HOME", ConfigHome()},
                                    {"XDG_DATA_HOME", DataHome()}}) {
    const char* old = std::getenv(name);
    m_vecSaved.push_back({name, old ? old : "", old != nullptr});
    setenv(name, value.c_str(), 1);
  }
}

CTestHome::~CTestHome() {
  for (const CSaved& saved : m_vecSaved) {
    if (saved.m_bSet)
      setenv(saved.m_strName.c_str(), saved.m_strValue.c_str(), 1);
    else
      unsetenv(saved.m_strName.c_str());
  }
  std::error_code ignored;
  std::filesystem::remove_all(m_strPath, ignored);
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// ---------------------------------------------------------------------------

wxIMPLEMENT_DYNAMIC_CLASS(CRecordingView, wxView);

void CRecordingView::OnUpdate(wxView*, wxObject* hint) {
  CSeenHint seen{HintNumberOf(hint), {}, {}, {}, GetDocument() && GetDocument()->IsModified()};
  if (const auto* note = dynamic_cast<const CNoteHint*>(hint)) {
    seen.m_strPath = note->m_strPath;
    seen.m_strNote = note->m_strNote;
  }
  if (const auto* item = dynamic_cast<const CItemHint*>(hint)) {
    seen.m_strPath = item->m_strPath;
    if (item->m_pItem) {
      seen.m_strPath = item->m_pItem->m_strPath;
      seen.m_strNote = item->m_pItem->m_strNote;
      seen.m_strName = item->m_pItem->m_strName;
    }
  }
  m_vecHints.push_back(seen);
}

bool CRecordingView::GetStatusText(wxString& text) {
  text = m_strStatus;
  return true;
}

std::vector<int> CRecordingView::Numbers() const {
  std::vector<int> numbers;
  for (const CSeenHint& hint : m_vecHints) numbers.push_back(hint.m_nHint);
  return numbers;
}

// ---------------------------------------------------------------------------

CDocTest::CDocTest() : m_pManager(std::make_unique<CQuarrixDocManager>()) {
  CreateSetTemplate(m_pManager.get(), CLASSINFO(CRecordingView));
  EXPECT_TRUE(m_pManager->CreateDocument(wxString(), wxDOC_NEW));
}

CDocTest::~CDocTest() {
  // The set is dropped unsaved: no question at the end of a test.
  if (CExplorerApDoc* doc = m_pManager->GetDocument()) doc->Modify(false);
  m_pManager.reset();
}

CExplorerApDoc& CDocTest::Doc() { return *m_pManager->GetDocument(); }

CRecordingView& CDocTest::View() { return *static_cast<CRecordingView*>(Doc().GetFirstView()); }

std::vector<int> CDocTest::TakeHints() {
  std::vector<int> numbers = View().Numbers();
  View().m_vecHints.clear();
  return numbers;
}

// ---------------------------------------------------------------------------

namespace {

// The chosen folder is kept by the dialog itself when the user accepts.
struct CDirDialogAccess : wxDirDialog {
  static wxString wxDirDialog::*Path() { return &CDirDialogAccess::m_path; }
};

int Finish(wxDialog* dlg, bool cancel) {
  Click(dlg, cancel ? wxID_CANCEL : wxID_OK);
  return dlg->GetReturnCode();
}

// The folder GTK's picker shows, asked of the toolkit itself (wx keeps only
// the folder chosen). The picker takes it up when GIO has looked at it,
// which it reports through the main loop.
std::string PickerFolder(wxDirDialog* dlg) {
  using CGetFolder = char* (*)(void*);
  using CFree = void (*)(void*);
  using CIterate = int (*)(void*, int);
  static const auto get = reinterpret_cast<CGetFolder>(dlsym(RTLD_DEFAULT, "gtk_file_chooser_get_current_folder"));
  static const auto release = reinterpret_cast<CFree>(dlsym(RTLD_DEFAULT, "g_free"));
  static const auto iterate = reinterpret_cast<CIterate>(dlsym(RTLD_DEFAULT, "g_main_context_iteration"));
  if (!get || !release || !iterate) return {};
  std::string path;
  for (int turn = 0; turn < 100 && path.empty(); ++turn) {
    if (char* folder = get(dlg->GetHandle())) {
      path = folder;
      release(folder);
    } else {
      iterate(nullptr, 1);
    }
  }
  return path;
}

}  // namespace

int CExpectDirDialog::OnInvoked(wxDirDialog* dlg) const {
  EXPECT_EQ(Utf8(dlg->GetMessage()), m_strTitle);
  if (!m_strStart.empty()) {
    EXPECT_EQ(PickerFolder(dlg), m_strStart);
  }
  if (m_strPath.empty()) return wxID_CANCEL;
  dlg->*CDirDialogAccess::Path() = wxString::FromUTF8(m_strPath);
  return wxID_OK;
}

int CExpectLabelDlg::OnInvoked(CLabelDlg* dlg) const {
  dlg->Show();
  XRCCTRL(*dlg, "ID_LABEL", wxTextCtrl)->ChangeValue(wxString::FromUTF8(m_strLabel));
  return Finish(dlg, m_strLabel.empty());
}

int CExpectNoteDlg::OnInvoked(CNoteEditDlg* dlg) const {
  dlg->Show();
  wxTextCtrl* edit = XRCCTRL(*dlg, "ID_NOTE_EDIT", wxTextCtrl);
  EXPECT_EQ(Utf8(edit->GetValue()), m_strShown);
  edit->ChangeValue(wxString::FromUTF8(m_strNote));
  return Finish(dlg, m_bCancel);
}

int CExpectPropSheet::OnInvoked(CPropInfoSheet* sheet) const {
  EXPECT_EQ(Utf8(sheet->GetTitle()), "プロパティ");
  sheet->Show();
  wxTextCtrl* note = XRCCTRL(*sheet, "ID_NOTE", wxTextCtrl);
  EXPECT_EQ(Utf8(note->GetValue()), m_strShown);
  // Typed, as a user would: the sheet counts only an edited box.
  if (m_strNote != m_strShown) note->SetValue(wxString::FromUTF8(m_strNote));
  return Finish(sheet, m_bCancel);
}

int CExpectSearchSheet::OnInvoked(CSearchSheet* sheet) const {
  EXPECT_EQ(Utf8(sheet->GetTitle()), "検索");
  sheet->Show();
  if (m_strPattern.empty()) return Finish(sheet, true);
  wxWindow* page = sheet->GetNamePage();
  XRCCTRL(*page, "ID_NAME_PATTERN", wxTextCtrl)->ChangeValue(wxString::FromUTF8(m_strPattern));
  XRCCTRL(*page, "ID_EXACT", wxCheckBox)->SetValue(false);
  XRCCTRL(*page, "ID_MATCH_CASE", wxCheckBox)->SetValue(false);
  return Finish(sheet, false);
}

int CExpectResultDlg::OnInvoked(CSearchResultDlg* dlg) const {
  dlg->Show();
  EXPECT_EQ(dlg->GetList()->GetItemCount(), m_nCount);
  if (m_nRow < 0) return Finish(dlg, true);
  dlg->GetList()->SetItemState(m_nRow, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                               wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
  return Finish(dlg, false);
}
