// The two copies commands in the main window: the explorer test set open, a
// second set file holding copies of three of its files (found among the
// recent files once, through the file dialog once).

#include <wx/checklst.h>
#include <wx/filehistory.h>
#include <wx/listctrl.h>

#include <algorithm>

#include "dialogs/copies_dlg.h"
#include "dialogs/copies_result_dlg.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "model/set_file.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "tests/gui/gui_test_sets.h"
#include "ui/explorer_ap_view.h"

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t k2001 = 978307200;  // 2001-01-01 00:00 UTC

using Lines = std::vector<std::string>;

// The list's rows, the chosen columns' texts joined by "|".
Lines Cells(wxListCtrl* list, const std::vector<int>& columns) {
  Lines rows;
  for (long row = 0; row < list->GetItemCount(); ++row) {
    std::string line;
    for (int column : columns) line += (line.empty() ? "" : "|") + Utf8(list->GetItemText(row, column));
    rows.push_back(line);
  }
  return rows;
}

Lines Sorted(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

void Activate(wxListCtrl* list, long row) {
  wxListEvent event(wxEVT_LIST_ITEM_ACTIVATED, list->GetId());
  event.SetEventObject(list);
  event.m_itemIndex = row;
  list->GetEventHandler()->ProcessEvent(event);
}

class CopiesCommands : public CExplorerTest {
 protected:
  CopiesCommands() {
    UseSet(MakeExplorerTestSet());
    Settle();
    CRootFileInfo other("other");
    CDriveFileInfo* backup = other.AppendCatalog(TestCatalog("Backup"), 0);
    Add(*backup, TestFile("readme.txt", 10, k2001));
    Add(*backup, TestFile("B.txt", 2 * 1024 * 1024, k2001 + 2 * kDay));
    Add(*AddFolder(*backup, TestFolder("pics", k2001)), TestFile("p1.jpg", 5000, k2001));
    EXPECT_EQ(WriteSetFile(m_strOther, other), ESetFileError::None);
  }

  const std::string m_strOther = m_home.File("other.fcf");
};

}  // namespace

TEST_F(CopiesCommands, DuplicatesAndFilesWithoutCopiesAcrossTwoSetsGoToTheOpenSetsItems) {
  m_pManager->GetFileHistory()->AddFileToHistory(wxString::FromUTF8(m_strOther));
  EXPECT_TRUE(Enabled(ID_FIND_DUPLICATES));
  EXPECT_TRUE(Enabled(ID_FIND_FEW_COPIES));

  // Duplicates, largest waste first; no fingerprints, so each match is likely.
  wxTEST_DIALOG(Command(ID_FIND_DUPLICATES), CExpectDialog<CCopiesDlg>([&](CCopiesDlg* d) {
                  return AnswerDialog(d, wxID_OK, [&](CCopiesDlg* dlg) {
                    EXPECT_EQ(Utf8(dlg->GetTitle()), "重複ファイルを探す");
                    Click(dlg, CCopiesDlg::ID_ADD_RECENT);
                    EXPECT_EQ(dlg->GetOtherSetPaths(), Lines{m_strOther});
                  });
                }),
                CExpectDialog<CCopiesResultDlg>([](CCopiesResultDlg* d) {
                  d->Show();
                  wxListCtrl* list = d->GetList();
                  EXPECT_TRUE(list->HasFlag(wxLC_VIRTUAL));
                  EXPECT_EQ(Cells(list, {0, 2, 3, 6}),
                            (Lines{"1|\\docs\\B.txt|CD1|推定", "1|\\B.txt|other.fcf: Backup|推定",
                                   "2|\\Photos\\p1.jpg|CD1|推定", "2|\\pics\\p1.jpg|other.fcf: Backup|推定",
                                   "3|\\readme.txt|CD1|推定", "3|\\readme.txt|other.fcf: Backup|推定"}));
                  EXPECT_EQ(Cells(list, {1, 4, 5})[0], "2MB|2MB|2001/01/03 00:00:00");
                  // Another set's item cannot be gone to: the dialog stays and says so.
                  Activate(list, 1);
                  EXPECT_TRUE(d->IsShown());
                  EXPECT_EQ(d->GetStatus(), "ほかのカタログセットの項目には移動できません");
                  Activate(list, 2);
                  return d->GetReturnCode();
                }));
  EXPECT_EQ(TreeCtrl().GetSelection(), Node("CD1\\Photos"));
  EXPECT_EQ(List().SelectedPaths(), Lines{"CD1\\Photos\\p1.jpg"});

  std::string chosen;
  // Files on fewer than two media among the open set's catalogs, the other
  // set's only compared with; the summary adds up per catalog.
  wxTEST_DIALOG(Command(ID_FIND_FEW_COPIES), CExpectDialog<CCopiesDlg>([&](CCopiesDlg* d) {
                  return AnswerDialog(d, wxID_OK, [&](CCopiesDlg* dlg) {
                    EXPECT_EQ(Utf8(dlg->GetTitle()), "他にコピーのないファイル");
                    Click(dlg, CCopiesDlg::ID_BROWSE_SET);
                    auto* catalogs = wxDynamicCast(dlg->FindWindow(CCopiesDlg::ID_CATALOGS), wxCheckListBox);
                    ASSERT_EQ(catalogs->GetCount(), 4u);
                    catalogs->Check(catalogs->FindString(wxString::FromUTF8("other.fcf: Backup")), false);
                  });
                }),
                CAnswerFileDialog(m_strOther), CExpectDialog<CCopiesResultDlg>([&](CCopiesResultDlg* d) {
                  d->Show();
                  EXPECT_EQ(Sorted(Cells(d->GetList(), {0, 1, 2})),
                            (Lines{"1|\\docs\\a.txt|CD1", "1|\\docs\\c.doc|CD1", "1|\\docs\\d.txt|CD1", "1|\\x.txt|CD2",
                                   "1|\\zeta.bin|CD1"}));
                  EXPECT_EQ(Sorted(Cells(d->GetSummary(), {0, 1, 2, 3})),
                            (Lines{"Alpha|0|0バイト|0.0%", "CD1|4|921,810バイト|30.5%", "CD2|1|1バイト|100.0%"}));
                  const Lines first = Cells(d->GetList(), {2, 1});
                  chosen = first[0].substr(0, first[0].find('|')) + first[0].substr(first[0].find('|') + 1);
                  Activate(d->GetList(), 0);
                  return d->GetReturnCode();
                }));
  EXPECT_EQ(List().SelectedPaths(), Lines{chosen});
  EXPECT_FALSE(Doc().IsModified());
}
