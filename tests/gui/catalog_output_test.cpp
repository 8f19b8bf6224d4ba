// The report command: its two dialogs driven through their controls, and the
// whole command with the dialogs, the save dialog and the message boxes
// answered, writing into the test's own folder and settings file.

#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>

#include <filesystem>

#include "dialogs/catalog_out_dlg.h"
#include "dialogs/catalog_out_option_dlg.h"
#include "dialogs/progress_dlg.h"
#include "document/app_settings.h"
#include "document/background_work.h"
#include "document/catalog_output.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "document/settings_file.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/gui_test_sets.h"

namespace {

wxCheckBox* Box(wxWindow* dlg, int id) { return wxDynamicCast(dlg->FindWindow(id), wxCheckBox); }
wxListBox* List(wxWindow* dlg) { return wxDynamicCast(dlg->FindWindow(CCatalogOutDlg::ID_CATALOG_LIST), wxListBox); }
wxRadioButton* Radio(wxWindow* dlg, int id) { return wxDynamicCast(dlg->FindWindow(id), wxRadioButton); }

// A click on a radio button: it becomes set and tells the dialog.
void ClickRadio(wxWindow* dlg, int id) {
  wxRadioButton* radio = Radio(dlg, id);
  ASSERT_TRUE(radio);
  radio->SetValue(true);
  wxCommandEvent event(wxEVT_RADIOBUTTON, id);
  event.SetEventObject(radio);
  event.SetInt(1);
  radio->ProcessWindowEvent(event);
}

std::vector<std::string> ListEntries(wxWindow* dlg) {
  std::vector<std::string> entries;
  for (const wxString& entry : List(dlg)->GetStrings()) entries.push_back(Utf8(entry));
  return entries;
}

void Select(wxWindow* dlg, const char* name) { List(dlg)->SetSelection(List(dlg)->FindString(name)); }

CatalogOutOptions AllOff() {
  CatalogOutOptions options;
  options.kind = options.size = options.createTime = options.modifiedTime = options.attribute = options.note = 0;
  return options;
}

bool SameOptions(const CatalogOutOptions& a, const CatalogOutOptions& b) {
  return a.kind == b.kind && a.size == b.size && a.createTime == b.createTime && a.modifiedTime == b.modifiedTime &&
         a.attribute == b.attribute && a.note == b.note;
}

}  // namespace

// --- the two dialogs -------------------------------------------------------

TEST(CatalogOutOptionDlg, BoxesStartFromTheRecordAndOnlyOkWritesThemBack) {
  CatalogOutOptions options;
  options.size = 0;
  options.note = 7;  // any nonzero value means on
  {
    CCatalogOutOptionDlg dlg(nullptr, &options);
    const int end = AnswerDialog(&dlg, wxID_CANCEL, [](CCatalogOutOptionDlg* d) {
      EXPECT_EQ(Utf8(d->GetTitle()), "カタログ出力オプション");
      EXPECT_TRUE(Box(d, 1022)->GetValue());
      EXPECT_FALSE(Box(d, 1054)->GetValue());
      EXPECT_TRUE(Box(d, 1020)->GetValue());
      Box(d, 1022)->SetValue(false);
    });
    EXPECT_EQ(end, wxID_CANCEL);
    EXPECT_EQ(options.kind, 1);
    EXPECT_EQ(options.note, 7);
  }
  CCatalogOutOptionDlg dlg(nullptr, &options);
  AnswerDialog(&dlg, wxID_OK, [](CCatalogOutOptionDlg* d) {
    for (int id : {1022, 1052, 1053, 1055}) Box(d, id)->SetValue(false);
    Box(d, 1054)->SetValue(true);
    EXPECT_FALSE(Box(d, CCatalogOutOptionDlg::ID_MEMBERS)->GetValue());  // members are left out unless asked
    Box(d, CCatalogOutOptionDlg::ID_MEMBERS)->SetValue(true);
  });
  CatalogOutOptions expected = AllOff();
  expected.size = expected.note = 1;
  EXPECT_TRUE(SameOptions(options, expected));
  EXPECT_EQ(options.members, 1);
}

TEST(CatalogOutDlg, TheListIsUsableOnlyWhenCatalogsAreChosenAndGivesTheSelectionInListOrder) {
  const std::vector<std::string> names = {"C", "A", "B"};
  CCatalogOutDlg dlg(nullptr, names, CatalogOutOptions());
  const int end = AnswerDialog(&dlg, wxID_OK, [](CCatalogOutDlg* d) {
    EXPECT_EQ(Utf8(d->GetTitle()), "カタログ情報の出力");
    EXPECT_EQ(ListEntries(d), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(Radio(d, 1047)->GetValue());
    EXPECT_FALSE(List(d)->IsEnabled());
    ClickRadio(d, 1048);
    EXPECT_TRUE(List(d)->IsEnabled());
    ClickRadio(d, 1047);
    EXPECT_FALSE(List(d)->IsEnabled());
    ClickRadio(d, 1048);
    Select(d, "C");
    Select(d, "A");
  });
  EXPECT_EQ(end, wxID_OK);
  EXPECT_FALSE(dlg.IsAllCatalogs());
  EXPECT_EQ(dlg.GetChosenCatalogs(), (std::vector<std::string>{"A", "C"}));

  // Choosing with nothing selected chooses none; "all" ignores a selection.
  CCatalogOutDlg none(nullptr, names, CatalogOutOptions());
  AnswerDialog(&none, wxID_OK, [](CCatalogOutDlg* d) { ClickRadio(d, 1048); });
  EXPECT_FALSE(none.IsAllCatalogs());
  EXPECT_TRUE(none.GetChosenCatalogs().empty());
  CCatalogOutDlg all(nullptr, names, CatalogOutOptions());
  AnswerDialog(&all, wxID_OK, [](CCatalogOutDlg* d) {
    ClickRadio(d, 1048);
    Select(d, "B");
    ClickRadio(d, 1047);
  });
  EXPECT_TRUE(all.IsAllCatalogs());
  EXPECT_TRUE(all.GetChosenCatalogs().empty());
}

TEST(CatalogOutput, OnlyANameWithoutExtensionGetsOne) {
  EXPECT_EQ(WithReportExtension("/tmp/out"), "/tmp/out.htm");
  EXPECT_EQ(WithReportExtension("/tmp/out."), "/tmp/out.htm");
  EXPECT_EQ(WithReportExtension("/tmp/out.html"), "/tmp/out.html");
  EXPECT_EQ(WithReportExtension("/tmp/a.b/out"), "/tmp/a.b/out.htm");
  EXPECT_EQ(WithReportExtension("/tmp/.out"), "/tmp/.out.htm");
}

// --- the command -----------------------------------------------------------

namespace {

class CatalogOutputCommand : public testing::Test {
 protected:
  CatalogOutputCommand() : m_pConfig(OpenSettingsFile()), m_settings(*m_pConfig) {
    for (const char* label : {"A", "B", "C"}) {
      CDriveFileInfo* catalog = m_set.AppendCatalog(TestCatalog(label), 0);
      Add(*catalog, TestFile(std::string(label) + ".txt", 10));
    }
  }

  std::string SettingsText() const { return ReadTextFile(m_home.ConfigHome() + "/Quarrix.conf"); }
  std::string Expected(const std::vector<std::string>* catalogs, const CatalogOutOptions& options) {
    const std::string path = m_home.File("expected.htm");
    EXPECT_TRUE(m_set.WriteHtmlReport(path, catalogs, options));
    return ReadTextFile(path);
  }

  CTestHome m_home;
  std::unique_ptr<CSettingsStore> m_pConfig;
  CAppSettings m_settings;
  CRootFileInfo m_set{"work カタログセット"};
};

// The catalog dialog, answered with OK after act.
template <typename Act>
CExpectDialog<CCatalogOutDlg> OutDialog(Act act) {
  return CExpectDialog<CCatalogOutDlg>([act](CCatalogOutDlg* d) { return AnswerDialog(d, wxID_OK, act); });
}

CExpectDialog<CCatalogOutDlg> AllCatalogs() {
  return OutDialog([](CCatalogOutDlg*) {});
}

}  // namespace

TEST_F(CatalogOutputCommand, WritesTheReportWithTheChangedColumnsAndRemembersThem) {
  const std::string out = m_home.File("report.htm");
  bool written = false;
  wxTEST_DIALOG(written = OutputCatalogSet(m_set, &m_settings, nullptr),
                OutDialog([](CCatalogOutDlg* d) { Click(d, CCatalogOutDlg::ID_DETAILS); }),
                CExpectDialog<CCatalogOutOptionDlg>([](CCatalogOutOptionDlg* d) {
                  return AnswerDialog(d, wxID_OK, [](CCatalogOutOptionDlg* o) { Box(o, 1054)->SetValue(false); });
                }),
                CAnswerFileDialog(out, [](wxFileDialog* d) {
                  EXPECT_EQ(Utf8(d->GetFilename()), "work カタログセットの情報.htm");
                  EXPECT_EQ(Utf8(d->GetWildcard()), "HTML ファイル|*.htm;*.html|すべてのファイル|*");
                  EXPECT_TRUE(d->HasFlag(wxFD_SAVE) && d->HasFlag(wxFD_OVERWRITE_PROMPT));
                }));
  EXPECT_TRUE(written);
  CatalogOutOptions noSize;
  noSize.size = 0;
  EXPECT_EQ(ReadTextFile(out), Expected(nullptr, noSize));
  EXPECT_EQ(m_settings.GetOutputOptions().size, 0);
  EXPECT_NE(SettingsText().find("size=0"), std::string::npos) << SettingsText();
}

TEST_F(CatalogOutputCommand, OnlyTheChosenCatalogIsWrittenAndAMissingExtensionIsAdded) {
  wxTEST_DIALOG(OutputCatalogSet(m_set, &m_settings, nullptr), OutDialog([](CCatalogOutDlg* d) {
                  ClickRadio(d, 1048);
                  Select(d, "B");
                }),
                CAnswerFileDialog(m_home.File("out")));
  const std::vector<std::string> onlyB{"B"};
  EXPECT_EQ(ReadTextFile(m_home.File("out.htm")), Expected(&onlyB, CatalogOutOptions()));
  EXPECT_FALSE(std::filesystem::exists(m_home.File("out")));
}

TEST_F(CatalogOutputCommand, CancellingEitherDialogWritesAndRemembersNothing) {
  auto changeColumns = [](CCatalogOutDlg* d) { Click(d, CCatalogOutDlg::ID_DETAILS); };
  auto noteOff = CExpectDialog<CCatalogOutOptionDlg>([](CCatalogOutOptionDlg* d) {
    return AnswerDialog(d, wxID_OK, [](CCatalogOutOptionDlg* o) { Box(o, 1020)->SetValue(false); });
  });
  bool written = true;
  wxTEST_DIALOG(
      written = OutputCatalogSet(m_set, &m_settings, nullptr),
      CExpectDialog<CCatalogOutDlg>([&](CCatalogOutDlg* d) { return AnswerDialog(d, wxID_CANCEL, changeColumns); }),
      noteOff);
  EXPECT_FALSE(written);
  wxTEST_DIALOG(written = OutputCatalogSet(m_set, &m_settings, nullptr), OutDialog(changeColumns), noteOff,
                CAnswerFileDialog(""));
  EXPECT_FALSE(written);
  EXPECT_EQ(m_settings.GetOutputOptions().note, 1);
  EXPECT_FALSE(std::filesystem::exists(m_home.ConfigHome() + "/Quarrix.conf"));
}

TEST_F(CatalogOutputCommand, AReportThatCannotBeWrittenIsReportedAndTheColumnsAreStillRemembered) {
  bool written = true;
  wxTEST_DIALOG(written = OutputCatalogSet(m_set, &m_settings, nullptr),
                OutDialog([](CCatalogOutDlg* d) { Click(d, CCatalogOutDlg::ID_DETAILS); }),
                CExpectDialog<CCatalogOutOptionDlg>([](CCatalogOutOptionDlg* d) {
                  return AnswerDialog(d, wxID_OK, [](CCatalogOutOptionDlg* o) { Box(o, 1022)->SetValue(false); });
                }),
                CAnswerFileDialog(m_home.File("missing/report.htm")),
                CExpectMessageBox("カタログ情報の出力に失敗しました"));
  EXPECT_FALSE(written);
  EXPECT_FALSE(std::filesystem::exists(m_home.File("missing")));
  EXPECT_NE(SettingsText().find("kind=0"), std::string::npos) << SettingsText();
}

TEST_F(CatalogOutputCommand, TheOpenSetsOwnFileIsNeverReplacedByItsReport) {
  const std::string setFile = m_home.File("work.fcf");
  WriteTextFile(setFile, "set");
  bool written = true;
  wxTEST_DIALOG(written = OutputCatalogSet(m_set, &m_settings, nullptr, setFile), AllCatalogs(),
                CAnswerFileDialog(m_home.File("./work.fcf")), CExpectMessageBox(kReportOverSet));
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadTextFile(setFile), "set");
}

TEST_F(CatalogOutputCommand, AFileHitOnlyByTheAddedExtensionIsReplacedOnlyWhenTheUserAgrees) {
  // The save dialog asked about "old", not about "old.htm".
  const std::string existing = m_home.File("old.htm");
  WriteTextFile(existing, "keep");
  const std::string question = "old.htm は既に存在します。\n上書きしますか?";
  wxTEST_DIALOG(OutputCatalogSet(m_set, &m_settings, nullptr), AllCatalogs(), CAnswerFileDialog(m_home.File("old")),
                CExpectMessageBox(question, wxID_CANCEL));
  EXPECT_EQ(ReadTextFile(existing), "keep");
  EXPECT_FALSE(std::filesystem::exists(m_home.ConfigHome() + "/Quarrix.conf"));

  wxTEST_DIALOG(OutputCatalogSet(m_set, &m_settings, nullptr), AllCatalogs(), CAnswerFileDialog(m_home.File("old")),
                CExpectMessageBox(question, wxID_OK));
  EXPECT_EQ(ReadTextFile(existing), Expected(nullptr, CatalogOutOptions()));
}

TEST_F(CatalogOutputCommand, CancellingTheProgressLeavesTheOldReportAndNoOtherFile) {
  // Enough rows that the report is still being written when cancelled.
  CDriveFileInfo* big = m_set.AppendCatalog(TestCatalog("Big"), 0);
  for (int i = 0; i < 100000; ++i) Add(*big, TestFile("file" + std::to_string(i) + ".txt", 10));
  const std::string existing = m_home.File("old.htm");
  WriteTextFile(existing, "keep");
  const auto savedDelay = g_nProgressDelayMilliseconds;
  g_nProgressDelayMilliseconds = -1;
  bool written = true;
  wxTEST_DIALOG(written = OutputCatalogSet(m_set, &m_settings, nullptr), AllCatalogs(), CAnswerFileDialog(existing),
                CExpectDialog<CProgressDlg>([](CProgressDlg* d) {
                  d->Show();
                  Click(d, wxID_CANCEL);
                  return d->GetReturnCode();
                }),
                CExpectMessageBox("カタログ情報の出力をキャンセルしました"));
  g_nProgressDelayMilliseconds = savedDelay;
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadTextFile(existing), "keep");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(m_home.Path()))
    if (entry.is_regular_file()) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"old.htm"});
}

// The document runs the command on its set; outside the application there
// are no settings, so every column is offered.
class CatalogOutputDocument : public CDocTest {};

TEST_F(CatalogOutputDocument, TheMenuCommandAsksForTheCatalogsOfTheDocumentsSet) {
  Doc().GetRoot()->AppendCatalog(TestCatalog("Disk"), 0);
  wxCommandEvent command(wxEVT_MENU, ID_OUTPUT_CATALOG_SET);
  bool handled = false;
  wxTEST_DIALOG(handled = Doc().ProcessEvent(command), CExpectDialog<CCatalogOutDlg>([](CCatalogOutDlg* d) {
                  return AnswerDialog(d, wxID_CANCEL, [](CCatalogOutDlg* dlg) {
                    EXPECT_EQ(ListEntries(dlg), std::vector<std::string>{"Disk"});
                    EXPECT_EQ(dlg->GetOptions().note, 1);
                  });
                }));
  EXPECT_TRUE(handled);
}
