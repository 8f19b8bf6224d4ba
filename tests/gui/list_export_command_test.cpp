// The export command from the File menu of a real window: the format and
// catalog chosen in its dialog, the file in the save dialog, and a cancel
// of its progress that leaves the old file.

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/radiobut.h>

#include <filesystem>

#include "dialogs/export_dlg.h"
#include "dialogs/progress_dlg.h"
#include "document/background_work.h"
#include "document/command_ids.h"
#include "document/list_export_command.h"
#include "model/list_import.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "tests/gui/gui_test_util.h"
#include "ui/main_frame.h"

namespace {

class ListExportCommand : public CExplorerTest {
 protected:
  void UseCatalogs(int filesInB) {
    auto set = std::make_unique<CRootFileInfo>("work");
    Add(*set->AppendCatalog(TestCatalog("A"), 0), TestFile("a.txt", 1));
    CDriveFileInfo* b = set->AppendCatalog(TestCatalog("B"), 0);
    Add(*b, TestFile("名前, \"引用\"\t.txt", 5ULL << 32, 1000))->SetNoteText("ノート\n2 行目");
    for (int i = 0; i < filesInB; ++i) Add(*b, TestFile("file" + std::to_string(i), 10));
    UseSet(std::move(set));
  }
};

// The dialog answered with tsv and only catalog B.
CExpectDialog<CExportDlg> TsvOfB() {
  return CExpectDialog<CExportDlg>([](CExportDlg* d) {
    return AnswerDialog(d, wxID_OK, [](CExportDlg* dlg) {
      EXPECT_EQ(Utf8(dlg->GetTitle()), "エクスポート");
      wxDynamicCast(dlg->FindWindow(CExportDlg::ID_FORMAT), wxChoice)->SetSelection(1);
      auto* chosen = wxDynamicCast(dlg->FindWindow(CCatalogOutDlg::ID_CHOSEN_CATALOGS), wxRadioButton);
      chosen->SetValue(true);
      wxCommandEvent event(wxEVT_RADIOBUTTON, CCatalogOutDlg::ID_CHOSEN_CATALOGS);
      event.SetEventObject(chosen);
      chosen->ProcessWindowEvent(event);
      auto* list = wxDynamicCast(dlg->FindWindow(CCatalogOutDlg::ID_CATALOG_LIST), wxListBox);
      EXPECT_TRUE(list->IsEnabled());
      list->SetSelection(list->FindString("B"));
    });
  });
}

}  // namespace

TEST_F(ListExportCommand, TheFileMenuWritesTheChosenCatalogInTheChosenFormat) {
  UseCatalogs(0);
  wxMenuItem* item = Frame().GetMenuBar()->GetMenu(0)->FindItem(ID_EXPORT_LIST);
  ASSERT_TRUE(item);
  EXPECT_EQ(Utf8(item->GetItemLabel()), "エクスポート(&E)...");
  EXPECT_TRUE(Enabled(ID_EXPORT_LIST));
  const std::string out = m_home.File("list");
  wxTEST_DIALOG(Command(ID_EXPORT_LIST), TsvOfB(), CAnswerFileDialog(out, [](wxFileDialog* d) {
                  EXPECT_EQ(Utf8(d->GetFilename()), "work.tsv");
                  EXPECT_EQ(Utf8(d->GetWildcard()), "TSV ファイル|*.tsv|すべてのファイル|*");
                }));
  CImportOptions options;
  options.eFormat = EListFormat::Tsv;
  const CImportResult back = ImportItemList(ReadTextFile(out + ".tsv"), options);
  EXPECT_TRUE(back.problems.empty());
  ASSERT_EQ(back.catalog->Children().size(), 1u);
  const CFileInfo& file = *back.catalog->Children()[0];
  EXPECT_EQ(file.GetName(), "名前, \"引用\"\t.txt");
  EXPECT_EQ(file.GetSize(), 5ULL << 32);
  EXPECT_EQ(file.GetNote(), "ノート\n2 行目");
}

// The form safe for spreadsheets can be chosen for csv and tsv only.
TEST_F(ListExportCommand, TheSpreadsheetSafeBoxFollowsTheFormatAndGuardsWhatWouldRun) {
  auto set = std::make_unique<CRootFileInfo>("work");
  Add(*set->AppendCatalog(TestCatalog("A"), 0), TestFile("=1+1", 1));
  UseSet(std::move(set));
  const std::string out = m_home.File("list");
  wxTEST_DIALOG(Command(ID_EXPORT_LIST), CExpectDialog<CExportDlg>([](CExportDlg* d) {
                  return AnswerDialog(d, wxID_OK, [](CExportDlg* dlg) {
                    auto* format = wxDynamicCast(dlg->FindWindow(CExportDlg::ID_FORMAT), wxChoice);
                    auto* box = wxDynamicCast(dlg->FindWindow(CExportDlg::ID_SPREADSHEET_SAFE), wxCheckBox);
                    for (const int chosen : {2, 3, 1, 0}) {
                      format->SetSelection(chosen);
                      wxCommandEvent event(wxEVT_CHOICE, CExportDlg::ID_FORMAT);
                      event.SetEventObject(format);
                      format->ProcessWindowEvent(event);
                      EXPECT_EQ(box->IsEnabled(), chosen < 2) << chosen;
                    }
                    box->SetValue(true);
                  });
                }),
                CAnswerFileDialog(out));
  EXPECT_NE(ReadTextFile(out + ".csv").find(",'=1+1,"), std::string::npos);
}

TEST_F(ListExportCommand, CancellingTheProgressLeavesTheOldFileAndSaysSo) {
  // Enough rows that the list is still being written when cancelled.
  UseCatalogs(200000);
  const std::string existing = m_home.File("old.tsv");
  WriteTextFile(existing, "keep");
  const auto savedDelay = g_nProgressDelayMilliseconds;
  g_nProgressDelayMilliseconds = -1;
  wxTEST_DIALOG(Command(ID_EXPORT_LIST), TsvOfB(), CAnswerFileDialog(existing),
                CExpectDialog<CProgressDlg>([](CProgressDlg* d) {
                  d->Show();
                  Click(d, wxID_CANCEL);
                  return d->GetReturnCode();
                }),
                CExpectMessageBox(kExportCancelled));
  g_nProgressDelayMilliseconds = savedDelay;
  EXPECT_EQ(ReadTextFile(existing), "keep");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(m_home.Path()))
    if (entry.is_regular_file()) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"old.tsv"});
}
