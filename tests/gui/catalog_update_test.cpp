// Updating a catalog from the tree and from the list: when the command is
// offered, the summary it asks with, cancelling at each step, and a medium
// found at another place.

#include <wx/listbox.h>
#include <wx/xrc/xmlres.h>

#include <cstdio>
#include <filesystem>

#include "dialogs/progress_dlg.h"
#include "dialogs/update_summary_dlg.h"
#include "document/background_work.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "model/medium_match.h"
#include "model/catalog_update.h"
#include "model/scan.h"
#include "platform/media_type.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/row_list_ctrl.h"

namespace {

class CatalogUpdate : public CExplorerTest {
 protected:
  // The explorer's set with a catalog "Disk" of a real folder, notes on two
  // of its files.
  void UseDiskSet() {
    m_strDisk = m_home.File("disk");
    std::filesystem::create_directories(m_strDisk);
    for (const char* name : {"a.txt", "gone.txt", "keep.txt"}) WriteTextFile(m_strDisk + "/" + name, name);
    std::unique_ptr<CRootFileInfo> set = MakeExplorerTestSet();
    std::unique_ptr<CDriveFileInfo> disk;
    std::string message;
    ASSERT_EQ(EScanStatus::Done, ScanCatalog("Disk", {m_strDisk}, CScanOptions(), disk, message));
    set->AppendCatalog(std::move(disk), 1700000000);
    set->SetNote("Disk\\gone.txt", "lost note");
    set->SetNote("Disk\\keep.txt", "kept note");
    UseSet(std::move(set));
    Settle();
    std::remove((m_strDisk + "/gone.txt").c_str());
    WriteTextFile(m_strDisk + "/new.txt", "new");
  }

  bool Has(const std::string& path) {
    return FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), path) != nullptr;
  }

  // The summary dialog: checks what it says, then ends with answer.
  static CExpectDialog<CUpdateSummaryDlg> ExpectSummary(int answer) {
    return CExpectDialog<CUpdateSummaryDlg>([answer](CUpdateSummaryDlg* dlg) {
      EXPECT_EQ("1", dlg->GetText("ID_ADDED"));
      EXPECT_EQ("1", dlg->GetText("ID_REMOVED"));
      EXPECT_EQ("1", dlg->GetText("ID_NOTES_KEPT"));
      wxListBox* lost = XRCCTRL(*dlg, "ID_LOST", wxListBox);
      EXPECT_EQ(1u, lost->GetCount());
      EXPECT_EQ("Disk\\gone.txt", Utf8(lost->GetString(0)));
      return AnswerDialog(dlg, answer);
    });
  }

  std::string m_strDisk;
};

}  // namespace

TEST_F(CatalogUpdate, FromTheTreeCancelAtEachStepChangesNothingAndUpdateKeepsNotes) {
  UseDiskSet();
  Frame().SetActiveView(&Tree());
  Tree().RevealPath("CD1\\docs");
  EXPECT_FALSE(Enabled(ID_UPDATE_CATALOG));
  Tree().RevealPath("Disk");
  EXPECT_TRUE(Enabled(ID_UPDATE_CATALOG));

  const int savedDelay = g_nProgressDelayMilliseconds;
  g_nProgressDelayMilliseconds = -1;
  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG),
                CExpectDialog<CProgressDlg>([](CProgressDlg* dlg) { return AnswerDialog(dlg, wxID_CANCEL); }),
                CExpectMessageBox("カタログの更新をキャンセルしました\nカタログセットは変更されていません"));
  g_nProgressDelayMilliseconds = savedDelay;
  EXPECT_TRUE(Has("Disk\\gone.txt"));
  EXPECT_FALSE(Doc().IsModified());

  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG), ExpectSummary(wxID_CANCEL));
  EXPECT_TRUE(Has("Disk\\gone.txt"));
  EXPECT_FALSE(Has("Disk\\new.txt"));
  EXPECT_FALSE(Doc().IsModified());

  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG), ExpectSummary(wxID_OK));
  EXPECT_FALSE(Has("Disk\\gone.txt"));
  EXPECT_TRUE(Has("Disk\\new.txt"));
  std::string note;
  Doc().GetNote("Disk\\keep.txt", note);
  EXPECT_EQ("kept note", note);
  EXPECT_TRUE(Doc().IsModified());
  wxTreeCtrl& tree = TreeCtrl();
  EXPECT_EQ("Disk", Utf8(tree.GetItemText(tree.GetSelection())));
}

TEST_F(CatalogUpdate, FromTheListAMovedMediumIsFollowedWhereTheUserPoints) {
  UseDiskSet();
  const std::string moved = m_home.File("elsewhere");
  std::filesystem::rename(m_strDisk, moved);
  SelectRows({"Disk", "CD1"});
  EXPECT_FALSE(Enabled(ID_UPDATE_CATALOG));
  SelectRows({"Disk"});
  EXPECT_TRUE(Enabled(ID_UPDATE_CATALOG));

  const char kTitle[] = "カタログ Disk のメディアがある場所を選択してください";
  // The picker starts where the medium was, as near as the folders left allow.
  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG), CExpectDirDialog("", kTitle, m_home.Path()));
  EXPECT_FALSE(Doc().IsModified());

  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG), CExpectDirDialog(moved, kTitle), ExpectSummary(wxID_OK));
  const auto* disk =
      static_cast<const CDriveFileInfo*>(FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), "Disk"));
  ASSERT_NE(nullptr, disk);
  EXPECT_EQ(moved, disk->m_strCatalogedPath);
  EXPECT_TRUE(Doc().IsModified());
  const std::vector<long> rows = List().GetListCtrl()->GetSelectedRows();
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("Disk", Names()[std::size_t(rows[0])]);
}

TEST_F(CatalogUpdate, AnotherMediumAtThePlaceIsUpdatedOnlyWhenTheUserSaysSo) {
  UseDiskSet();
  auto* disk = static_cast<CDriveFileInfo*>(FindByPath(static_cast<CFileInfo*>(Doc().GetRoot()), "Disk"));
  CMediumIdentity here;
  ASSERT_TRUE(ReadMediumIdentity(m_strDisk, here));
  disk->m_record.emplace();
  disk->m_record->medium = {"0000-OTHER", "vfat", "CAMERA", 8000000000, here.strBelowMount};
  Tree().RevealPath("Disk");
  Frame().SetActiveView(&Tree());

  const std::string prompt = "この場所にはカタログ Disk とは別のメディアがあります\n" +
                             VerdictDifferenceText(JudgeMedium(*disk, m_strDisk)) +
                             "\n\nこのまま更新すると、カタログの内容がこの場所の内容で置き換えられます\n"
                             "更新してよろしいですか？";
  // The medium is not where it was: the user is asked where it is, and
  // pointing at the same place again is confirmed naming both media.
  const char kTitle[] = "カタログ Disk のメディアがある場所を選択してください";
  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG), CExpectDirDialog(m_strDisk, kTitle),
                CExpectMessageBox(prompt, wxID_CANCEL));
  EXPECT_TRUE(Has("Disk\\gone.txt"));
  EXPECT_FALSE(Doc().IsModified());
  wxTEST_DIALOG(Command(ID_UPDATE_CATALOG), CExpectDirDialog(m_strDisk, kTitle), CExpectMessageBox(prompt, wxID_OK),
                ExpectSummary(wxID_OK));
  EXPECT_TRUE(Has("Disk\\new.txt"));
}
