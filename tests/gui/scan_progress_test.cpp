// Adding a catalog with the scan on a worker thread: the label offered, the
// progress dialog, and cancelling it.

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "dialogs/progress_dlg.h"
#include "document/background_work.h"
#include "document/browse_for_location.h"
#include "document/explorer_ap_doc.h"
#include "model/set_file.h"
#include "platform/thread_start.h"
#include "tests/gui/gui_test_sets.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"

namespace {

const char kCancelled[] = "カタログの作成をキャンセルしました\nカタログセットは変更されていません";

class ScanProgress : public CDocTest {
 protected:
  ScanProgress() {
    TakeHints();
    g_nProgressDelayMilliseconds = -1;
  }

  // Enough entries that the scan is likely still running when the dialog
  // looks; the cancel wins even when it is not.
  void MakeTree() {
    for (int folder = 0; folder < kFolders; ++folder) {
      const std::string path = m_home.File("big/f" + std::to_string(folder));
      std::filesystem::create_directories(path);
      for (int file = 0; file < 40; ++file) WriteTextFile(path + "/" + std::to_string(file) + ".txt", "x");
    }
  }
  static constexpr int kFolders = 50;
  ~ScanProgress() override { g_nProgressDelayMilliseconds = m_nSavedDelay; }

  const int m_nSavedDelay = g_nProgressDelayMilliseconds;
};

}  // namespace

TEST_F(ScanProgress, LabelIsTheFolderNameSelectedAndCancelInTheDialogAddsNothing) {
  MakeTree();
  Doc().Modify(false);
  std::string shownFiles;
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(m_home.File("big")),
                CExpectDialog<CLabelDlg>([](CLabelDlg* dlg) {
                  dlg->Show();
                  wxTextCtrl* edit = XRCCTRL(*dlg, "ID_LABEL", wxTextCtrl);
                  EXPECT_EQ("big", Utf8(edit->GetValue()));
                  long from = -1, to = -1;
                  edit->GetSelection(&from, &to);
                  EXPECT_EQ(0, from);
                  EXPECT_EQ(3, to);
                  Click(dlg, wxID_OK);
                  return dlg->GetReturnCode();
                }),
                CExpectDialog<CProgressDlg>([&shownFiles](CProgressDlg* dlg) {
                  // Wait for the counts to move, as the timer shows them.
                  dlg->Show();
                  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
                  while (dlg->GetText("ID_FILES") == "0" && std::chrono::steady_clock::now() < deadline) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    dlg->Tick();
                  }
                  shownFiles = dlg->GetText("ID_FILES");
                  Click(dlg, wxID_CANCEL);
                  return dlg->GetReturnCode();
                }),
                CExpectMessageBox(kCancelled));
  EXPECT_NE("0", shownFiles);
  EXPECT_EQ(0, added);
  EXPECT_EQ(0, Doc().GetRoot()->GetCatalogCount());
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_TRUE(TakeHints().empty());

  // Let run to the end, the same scan adds the whole tree.
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(m_home.File("big")), CExpectLabelDlg("Big"),
                CExpectDialog<CProgressDlg>([](CProgressDlg*) { return wxID_OK; }));
  EXPECT_EQ(1, added);
  EXPECT_TRUE(Doc().IsModified());
  CItemSummaryList folders;
  Doc().GetRoot()->ListChildren("Big", folders, false);
  EXPECT_EQ(std::size_t(kFolders), folders.size());
}

TEST_F(ScanProgress, PlaceThatVanishedAddsNothingAndSaysSo) {
  Doc().Modify(false);
  g_nProgressDelayMilliseconds = m_nSavedDelay;  // a scan that quick shows no dialog
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalogFromFiles({m_home.File("gone")}),
                CExpectMessageBox("選択されたファイルからカタログを作成しますか？"), CExpectLabelDlg("Gone"),
                CExpectMessageBox("指定された場所が見つかりません"));
  EXPECT_EQ(0, added);
  EXPECT_EQ(0, Doc().GetRoot()->GetCatalogCount());
  EXPECT_FALSE(Doc().IsModified());
}

TEST(PickerStart, RemovableMediaFolderElseHome) {
  CTestHome root;
  EXPECT_EQ("/home/u", PickerStartFolder("u", "/home/u", root.Path()));
  std::filesystem::create_directories(root.File("run/media/u"));
  EXPECT_EQ(root.File("run/media/u"), PickerStartFolder("u", "/home/u", root.Path()));
  std::filesystem::create_directories(root.File("media/u"));
  EXPECT_EQ(root.File("media/u"), PickerStartFolder("u", "/home/u", root.Path()));

  // For a medium that moved: the nearest folder left of its old place.
  EXPECT_EQ(root.File("media/u"), NearestExistingFolder(root.File("media/u/DISK/sub//")));
  EXPECT_EQ(root.File("media"), NearestExistingFolder(root.File("media")));
  EXPECT_EQ(PickerStartFolder(), NearestExistingFolder("/no such folder/DISK"));
  EXPECT_EQ(PickerStartFolder(), NearestExistingFolder("DISK"));
}

// Saving can be cancelled: it may wait for another program that holds the set.
TEST_F(ScanProgress, OpeningShowsProgressThatCannotBeCancelledAndSavingOneThatCan) {
  CRootFileInfo set("s");
  set.AppendCatalog(TestCatalog("CD"), 0);
  const std::string path = m_home.File("set.fcf");
  ASSERT_EQ(ESetFileError::None, WriteSetFile(path, set));
  auto noCancel = [](CProgressDlg* dlg) {
    EXPECT_FALSE(dlg->FindWindow(wxID_CANCEL)->IsShown());
    return wxID_OK;  // waits for the work, as the dialog would
  };
  bool done = false;
  wxTEST_DIALOG(done = Doc().OnOpenDocument(wxString::FromUTF8(path)), CExpectDialog<CProgressDlg>(noCancel));
  EXPECT_TRUE(done);
  EXPECT_EQ(1, Doc().GetRoot()->GetCatalogCount());
  wxTEST_DIALOG(done = Doc().OnSaveDocument(wxString::FromUTF8(m_home.File("copy.fcf"))),
                CExpectDialog<CProgressDlg>([](CProgressDlg* dlg) {
                  EXPECT_TRUE(dlg->FindWindow(wxID_CANCEL)->IsShown());
                  return wxID_OK;
                }));
  EXPECT_TRUE(done);
  EXPECT_EQ(ReadTextFile(path), ReadTextFile(m_home.File("copy.fcf")));
}

// With no thread to spare, the work is done all the same, without a dialog.
TEST_F(ScanProgress, WorkThatFindsNoThreadIsDoneWithoutTheDialog) {
  CRootFileInfo set("s");
  set.AppendCatalog(TestCatalog("CD"), 0);
  const std::string path = m_home.File("set.fcf");
  ASSERT_EQ(ESetFileError::None, WriteSetFile(path, set));
  wxTestingModalHook noDialog(__FILE__, __LINE__, __WXFUNCTION__);
  AllowThreadStartsForTest(0);
  const bool done = Doc().OnOpenDocument(wxString::FromUTF8(path));
  AllowThreadStartsForTest(-1);
  EXPECT_TRUE(done);
  EXPECT_EQ(1, Doc().GetRoot()->GetCatalogCount());
}
