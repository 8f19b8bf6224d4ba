// The label, note, locate-file and application dialogs, shown modeless and
// driven through their controls; the message boxes and file dialogs they
// open are answered by expectations.

#include <wx/combobox.h>
#include <wx/filedlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <filesystem>

#include "dialogs/label_dlg.h"
#include "dialogs/locate_file_dlg.h"
#include "dialogs/note_edit_dlg.h"
#include "dialogs/select_app_dlg.h"
#include "tests/gui/dialog_test_set.h"
#include "tests/gui/gui_test_util.h"

namespace {

// A file dialog that must offer the given filter and start name; it answers
// with path (wxID_OK) or is cancelled when path is empty.
class CExpectFileDialog : public wxExpectModalBase<wxFileDialog, CExpectFileDialog> {
 public:
  CExpectFileDialog(std::string wildcard, std::string name, std::string path)
      : m_strWildcard(std::move(wildcard)), m_strName(std::move(name)), m_strPath(std::move(path)) {}

 protected:
  int OnInvoked(wxFileDialog* dlg) const override {
    EXPECT_EQ(Utf8(dlg->GetWildcard()), m_strWildcard);
    EXPECT_EQ(Utf8(dlg->GetFilename()), m_strName);
    EXPECT_TRUE(dlg->HasFlag(wxFD_OPEN) && dlg->HasFlag(wxFD_FILE_MUST_EXIST));
    if (m_strPath.empty()) return wxID_CANCEL;
    dlg->SetPath(wxString::FromUTF8(m_strPath));
    return wxID_OK;
  }

 private:
  std::string m_strWildcard;
  std::string m_strName;
  std::string m_strPath;
};

// A folder of its own below the test's temporary folder, with empty files.
class CTempFolder {
 public:
  CTempFolder() {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    m_path = std::filesystem::path(testing::TempDir()) / (std::string("quarrix-") + test->name());
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
  }
  ~CTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  std::string MakeFile(const std::string& name) const {
    const std::filesystem::path file = m_path / std::filesystem::u8path(name);
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (f) std::fclose(f);
    return file.u8string();
  }

 private:
  std::filesystem::path m_path;
};

// text without line breaks and blanks: wrapping a static's text at its
// width adds breaks, some in place of blanks.
std::string Squeezed(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == ' '; }), text.end());
  return text;
}

std::string StaticText(wxWindow* dialog, const char* name) {
  return Squeezed(Utf8(XRCCTRL(*dialog, name, wxStaticText)->GetLabelText()));
}

// --- label -----------------------------------------------------------------

TEST(LabelDlg, RefusesAnEmptyLabelButTakesOneBlank) {
  CLabelDlg dlg(nullptr);
  dlg.Show();
  EXPECT_EQ(Utf8(dlg.GetTitle()), "カタログラベルの入力");
  wxTextCtrl* edit = XRCCTRL(dlg, "ID_LABEL", wxTextCtrl);
  ASSERT_TRUE(edit);
  EXPECT_EQ(Utf8(edit->GetValue()), "");

  wxTEST_DIALOG(Click(&dlg, wxID_OK), CExpectMessageBox("ラベルを入力してください"));
  EXPECT_TRUE(dlg.IsShown());
  // The separator of logical paths would make the catalog unreachable.
  edit->SetValue("CD\\1");
  wxTEST_DIALOG(Click(&dlg, wxID_OK), CExpectMessageBox("ラベルに「\\」は使用できません"));
  EXPECT_TRUE(dlg.IsShown());

  edit->SetValue(" ");
  Click(&dlg, wxID_OK);
  EXPECT_FALSE(dlg.IsShown());
  EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
  EXPECT_EQ(dlg.GetCatalogLabel(), " ");
}

// --- note ------------------------------------------------------------------

class NoteEditDlgTest : public testing::Test {
 protected:
  CDialogTestSet m_data;
  CSetNoteSource m_source{m_data.m_set};
};

TEST_F(NoteEditDlgTest, PromptNamesTheFileTheCatalogTheSetOrSeveralItems) {
  const struct {
    std::vector<std::string> paths;
    const char* name;
    const char* note;
  } cases[] = {
      {{"Disk1\\docs\\a.txt"}, "a.txt", "line1\nline2"},
      {{"Disk1"}, "Disk1", ""},
      {{""}, "カタログセット", ""},
      {{"Disk1\\docs", "Disk1\\top.bin", "Disk1\\docs\\R&D 資料.doc"}, "複数選択されたファイル", "共通"},
      {{"Disk1\\docs", "Disk1\\docs\\a.txt"}, "複数選択されたファイル", ""},
  };
  for (const auto& c : cases) {
    CNoteEditDlg dlg(nullptr, &c.paths, &m_source);
    dlg.Show();
    EXPECT_EQ(StaticText(&dlg, "ID_NOTE_PROMPT"), Squeezed(std::string(c.name) + " のノートを編集してください："));
    EXPECT_EQ(Utf8(XRCCTRL(dlg, "ID_NOTE_EDIT", wxTextCtrl)->GetValue()), c.note) << c.name;
    Click(&dlg, wxID_CANCEL);
    EXPECT_EQ(dlg.GetReturnCode(), wxID_CANCEL);
  }
}

TEST_F(NoteEditDlgTest, OkGivesTheNoteAsItStandsInTheBox) {
  const std::vector<std::string> paths = {"Disk1\\docs\\a.txt"};
  {
    CNoteEditDlg dlg(nullptr, &paths, &m_source);
    dlg.Show();
    Click(&dlg, wxID_OK);
    EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
    EXPECT_EQ(dlg.GetNote(), "line1\r\nline2");
  }
  {
    CNoteEditDlg dlg(nullptr, &paths, &m_source);
    dlg.Show();
    XRCCTRL(dlg, "ID_NOTE_EDIT", wxTextCtrl)->SetValue("");
    Click(&dlg, wxID_OK);
    EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
    EXPECT_EQ(dlg.GetNote(), "");
  }
}

// --- locate ----------------------------------------------------------------

TEST(LocateFileDlg, SearchAgainAndCancelEndWithTheirCodes) {
  CLocateFileDlg again(nullptr, "a.txt が見つかりません。", "a.txt");
  again.Show();
  EXPECT_EQ(Utf8(again.GetTitle()), "カタログ内のファイルを開く");
  EXPECT_EQ(StaticText(&again, "ID_LOCATE_MESSAGE"), Squeezed("a.txt が見つかりません。"));
  Click(&again, XRCID("ID_SEARCH_AGAIN"));
  EXPECT_FALSE(again.IsShown());
  EXPECT_EQ(again.GetReturnCode(), CLocateFileDlg::END_SEARCH_AGAIN);
  EXPECT_EQ(again.GetReturnCode(), 1041);

  CLocateFileDlg cancel(nullptr, "m", "a.txt");
  cancel.Show();
  Click(&cancel, wxID_CANCEL);
  EXPECT_EQ(cancel.GetReturnCode(), 2);

  // The close box (and Escape) press Cancel.
  CLocateFileDlg closed(nullptr, "m", "a.txt");
  closed.Show();
  closed.Close();
  EXPECT_FALSE(closed.IsShown());
  EXPECT_EQ(closed.GetReturnCode(), 2);
}

TEST(LocateFileDlg, PlaceListsOnlyTheFileNameAndACancelledChoiceKeepsTheDialogOpen) {
  CTempFolder folder;
  const std::string file = folder.MakeFile("a.txt");
  CLocateFileDlg dlg(nullptr, "message", "a.txt");
  dlg.Show();
  const std::string filter = "カタログ内のファイル|a.txt";

  wxTEST_DIALOG(Click(&dlg, XRCID("ID_SPECIFY_PLACE")), CExpectFileDialog(filter, "a.txt", ""));
  EXPECT_TRUE(dlg.IsShown());
  EXPECT_EQ(dlg.GetChosenPath(), "");

  wxTEST_DIALOG(Click(&dlg, XRCID("ID_SPECIFY_PLACE")), CExpectFileDialog(filter, "a.txt", file));
  EXPECT_FALSE(dlg.IsShown());
  EXPECT_EQ(dlg.GetReturnCode(), CLocateFileDlg::END_PLACE_CHOSEN);
  EXPECT_EQ(dlg.GetReturnCode(), 1008);
  EXPECT_EQ(dlg.GetChosenPath(), file);
  FlushEvents();
}

// --- application -------------------------------------------------------------

TEST(SelectAppDlg, WithNothingRememberedTheBoxStartsEmptyAndOkAsksForAnApplication) {
  const std::vector<std::string> apps;
  CSelectAppDlg dlg(nullptr, &apps);
  dlg.Show();
  EXPECT_EQ(Utf8(dlg.GetTitle()), "開くアプリケーションの指定");
  wxComboBox* combo = XRCCTRL(dlg, "ID_APPLICATION", wxComboBox);
  ASSERT_TRUE(combo);
  EXPECT_EQ(combo->GetCount(), 0u);
  EXPECT_EQ(Utf8(combo->GetValue()), "");

  wxTEST_DIALOG(Click(&dlg, wxID_OK), CExpectMessageBox("アプリケーションを指定してください"));
  EXPECT_TRUE(dlg.IsShown());

  combo->SetValue("/opt/viewer");
  Click(&dlg, wxID_OK);
  EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
  EXPECT_EQ(dlg.GetApplication(), "/opt/viewer");
}

TEST(SelectAppDlg, RememberedApplicationsAreListedInOrderWithTheFirstChosen) {
  const std::vector<std::string> apps = {"/usr/bin/gimp", "/usr/bin/vim"};
  CSelectAppDlg dlg(nullptr, &apps);
  dlg.Show();
  wxComboBox* combo = XRCCTRL(dlg, "ID_APPLICATION", wxComboBox);
  ASSERT_EQ(combo->GetCount(), 2u);
  EXPECT_EQ(Utf8(combo->GetString(0)), "/usr/bin/gimp");
  EXPECT_EQ(Utf8(combo->GetString(1)), "/usr/bin/vim");
  EXPECT_EQ(Utf8(combo->GetValue()), "/usr/bin/gimp");
  Click(&dlg, wxID_OK);
  EXPECT_EQ(dlg.GetReturnCode(), wxID_OK);
  EXPECT_EQ(dlg.GetApplication(), "/usr/bin/gimp");
}

TEST(SelectAppDlg, BrowsingPutsThePickedFileInTheBoxOrSelectsItsEntry) {
  CTempFolder folder;
  const std::string vim = folder.MakeFile("vim");
  const std::string vi = folder.MakeFile("vi");
  const std::vector<std::string> apps = {"/usr/bin/gimp", vim};
  CSelectAppDlg dlg(nullptr, &apps);
  dlg.Show();
  wxComboBox* combo = XRCCTRL(dlg, "ID_APPLICATION", wxComboBox);
  // Programs have no extension here: the first entry lists every file.
  const std::string filter = "実行可能ファイル|*|すべてのファイル (*.*)|*";

  wxTEST_DIALOG(Click(&dlg, XRCID("ID_BROWSE")), CExpectFileDialog(filter, "", ""));
  EXPECT_EQ(Utf8(combo->GetValue()), "/usr/bin/gimp");

  wxTEST_DIALOG(Click(&dlg, XRCID("ID_BROWSE")), CExpectFileDialog(filter, "", vim));
  EXPECT_EQ(combo->GetSelection(), 1);
  EXPECT_EQ(Utf8(combo->GetValue()), vim);

  // "vim" is remembered, but "vi" is another program.
  wxTEST_DIALOG(Click(&dlg, XRCID("ID_BROWSE")), CExpectFileDialog(filter, "", vi));
  EXPECT_EQ(Utf8(combo->GetValue()), vi);
  EXPECT_TRUE(dlg.IsShown());
  Click(&dlg, wxID_OK);
  EXPECT_EQ(dlg.GetApplication(), vi);
  FlushEvents();
}

}  // namespace
