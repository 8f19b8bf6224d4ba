// Hashes in the window: the label dialog's check box, the hashing row of the
// scan progress, the hash on the information page, and verifying a catalog
// against its medium, down to going to a damaged file.

#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "dialogs/file_property.h"
#include "dialogs/progress_dlg.h"
#include "dialogs/verify_result_dlg.h"
#include "document/background_work.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "model/catalog_update.h"
#include "model/fingerprints.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "ui/explorer_ap_view.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"
#include "ui/row_list_ctrl.h"

namespace {

std::string Label(wxWindow* dialog, const char* name) {
  auto* control = dynamic_cast<wxStaticText*>(dialog->FindWindow(XRCID(name)));
  return control ? Utf8(control->GetLabel()) : "<no control " + std::string(name) + ">";
}

CFingerprint FingerprintOfText(const std::string& text) {
  CContentHash hash;
  hash.Update(text.data(), text.size());
  return hash.Digest();
}

class ContentHashDoc : public CDocTest {};

}  // namespace

TEST_F(ContentHashDoc, AddWithTheHashBoxTicked_TheInfoPageShowsTheFilesHashAndTheBoxStaysTicked) {
  CScopedAppSettings settings;
  std::filesystem::create_directories(m_home.File("disk"));
  WriteTextFile(m_home.File("disk/a.txt"), "content of a");
  int added = -1;
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(m_home.File("disk")),
                CExpectDialog<CLabelDlg>([](CLabelDlg* dlg) {
                  return AnswerDialog(dlg, wxID_OK, [](CLabelDlg* shown) {
                    wxCheckBox* hash = XRCCTRL(*shown, "ID_HASH", wxCheckBox);
                    EXPECT_EQ("ファイルの内容からハッシュを計算する", Utf8(hash->GetLabel()));
                    EXPECT_FALSE(hash->GetValue());  // nothing remembered yet: off
                    hash->SetValue(true);
                  });
                }));
  ASSERT_EQ(1, added);

  const std::string expected = FingerprintOfText("content of a").Hex();
  wxTEST_DIALOG(Doc().ShowProperties("disk\\a.txt"), CExpectDialog<CPropInfoSheet>([&](CPropInfoSheet* sheet) {
                  auto* page = dynamic_cast<CFileProperty*>(sheet->GetInfoPage());
                  EXPECT_TRUE(page);
                  if (!page) return wxID_CANCEL;
                  wxTextCtrl* field = XRCCTRL(*page, "ID_FINGERPRINT", wxTextCtrl);
                  EXPECT_TRUE(field->IsShown());
                  EXPECT_FALSE(field->IsEditable());
                  EXPECT_EQ(expected, Utf8(field->GetValue()));
                  EXPECT_EQ("ハッシュ (XXH128)：", Label(page, "ID_FINGERPRINT_LABEL"));
                  return wxID_CANCEL;
                }));

  // A file without a hash has no hash row.
  CPropInfoData info;
  Doc().GetRoot()->GetSelectionInfo({"disk\\a.txt"}, info);
  info.m_strFingerprint.clear();
  CPropInfoSheet sheet("p", &info);
  wxWindow* page = sheet.GetInfoPage();
  EXPECT_FALSE(XRCCTRL(*page, "ID_FINGERPRINT", wxTextCtrl)->IsShown());
  EXPECT_FALSE(XRCCTRL(*page, "ID_FINGERPRINT_LABEL", wxStaticText)->IsShown());

  // The next add starts as this one was left.
  bool ticked = false;
  wxTEST_DIALOG(added = Doc().AddCatalog(), CExpectDirDialog(m_home.File("disk")),
                CExpectDialog<CLabelDlg>([&ticked](CLabelDlg* dlg) {
                  return AnswerDialog(dlg, wxID_CANCEL, [&ticked](CLabelDlg* shown) {
                    ticked = XRCCTRL(*shown, "ID_HASH", wxCheckBox)->GetValue();
                  });
                }));
  EXPECT_TRUE(ticked);
  EXPECT_NE(std::string::npos, ReadTextFile(m_home.ConfigHome() + "/Quarrix.conf").find("HashContents=1"));
}

TEST_F(ContentHashDoc, WhileHashingTheScanProgressShowsBytesAndRateAndCancelStillWorks) {
  const int savedDelay = g_nProgressDelayMilliseconds;
  g_nProgressDelayMilliseconds = -1;
  CScanProgress progress;
  std::atomic<bool> cancel{false};
  std::string before, during;
  bool labelShown = false;
  // The work waits for the cancel, as a scan polls it between reads.
  wxTEST_DIALOG(RunScanInBackground(nullptr, "scan", progress, cancel,
                                    [&] {
                                      while (!cancel.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                                    }),
                CExpectDialog<CProgressDlg>([&](CProgressDlg* dlg) {
                  return AnswerDialog(dlg, wxID_CANCEL, [&](CProgressDlg* shown) {
                    shown->Tick();
                    before = shown->GetText("ID_HASH");
                    progress.AddHashWork(4, 3u << 20);
                    progress.AddHashedFile();
                    progress.AddHashedBytes(2u << 20);
                    shown->Tick();
                    during = shown->GetText("ID_HASH");
                    labelShown = shown->FindWindow(XRCID("ID_HASH_LABEL"))->IsShown();
                  });
                }));
  g_nProgressDelayMilliseconds = savedDelay;
  EXPECT_TRUE(cancel.load());
  EXPECT_EQ("", before);
  EXPECT_TRUE(labelShown);
  // The rate is whatever the clock gave; the counts are fixed.
  EXPECT_EQ(0u, during.find("1 / 4 ファイル / 2MB / 3MB / ")) << during;
  EXPECT_EQ("/s", during.substr(during.size() - 2)) << during;
}

namespace {

class ContentHashVerify : public CExplorerTest {};

}  // namespace

TEST_F(ContentHashVerify, ARewrittenFileWithItsTimeRestoredIsFoundCorruptAndGoneTo) {
  const std::string disk = m_home.File("disk");
  std::filesystem::create_directories(disk + "/sub");
  WriteTextFile(disk + "/sub/a.txt", "original");
  WriteTextFile(disk + "/b.txt", "kept");
  std::unique_ptr<CRootFileInfo> set = MakeExplorerTestSet();
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  CScanOptions options;
  options.bHashContents = true;
  ASSERT_EQ(EScanStatus::Done, MakeCatalog("Disk", {disk}, options, catalog, message));
  set->AppendCatalog(std::move(catalog), 1700000000);
  UseSet(std::move(set));
  Settle();
  // Silent damage: other bytes, the same size and time.
  const auto time = std::filesystem::last_write_time(disk + "/sub/a.txt");
  WriteTextFile(disk + "/sub/a.txt", "0riginal");
  std::filesystem::last_write_time(disk + "/sub/a.txt", time);

  Frame().SetActiveView(&Tree());
  Tree().RevealPath("CD1\\docs");
  EXPECT_FALSE(Enabled(ID_VERIFY_CATALOG));
  Tree().RevealPath("Disk");
  ASSERT_TRUE(Enabled(ID_VERIFY_CATALOG));
  wxTEST_DIALOG(Command(ID_VERIFY_CATALOG), CExpectDialog<CVerifyResultDlg>([](CVerifyResultDlg* dlg) {
                  EXPECT_EQ("カタログ Disk のメディアに壊れているか読めないファイルがあります",
                            Label(dlg, "ID_MESSAGE"));
                  EXPECT_EQ("壊れている:", Label(dlg, "ID_KIND3"));
                  for (const char* count : {"ID_COUNT0", "ID_COUNT1", "ID_COUNT2", "ID_COUNT4"})
                    EXPECT_EQ("0", Label(dlg, count)) << count;
                  EXPECT_EQ("1", Label(dlg, "ID_COUNT3"));
                  EXPECT_EQ("2", Label(dlg, "ID_COMPARED"));
                  wxListCtrl* list = dlg->GetList();
                  EXPECT_EQ(1, list->GetItemCount());
                  EXPECT_EQ("Disk\\sub\\a.txt", Utf8(list->GetItemText(0, 1)));
                  return AnswerDialog(dlg, wxID_OK);  // the first row is chosen already
                }));
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_EQ("sub", Utf8(TreeCtrl().GetItemText(TreeCtrl().GetSelection())));
  EXPECT_EQ("Disk\\sub", List().GetCurrentPath());
  const std::vector<long> rows = List().GetListCtrl()->GetSelectedRows();
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ("a.txt", Names()[std::size_t(rows[0])]);

  // A file new on the medium is gone to by the nearest folder the set holds.
  EXPECT_EQ("Disk\\sub", NearestHeldPath(*Doc().GetRoot(), "Disk\\sub\\new\\x.txt"));
}

TEST(VerifyResultText, NoHashesAreSaidAndEachKindKeepsItsRowsWhenCut) {
  CVerifyResult clean;
  EXPECT_EQ(
      "カタログ D はメディアと一致しました\nこのカタログにはハッシュがないため、サイズと更新日時だけで検証しました",
      VerifyResultMessage("D", clean));

  // Many new files must not push the corrupt one out of the list.
  CVerifyResult result;
  result.bHasFingerprints = true;
  result.findings = {{EVerifyKind::New, "D\\1"}, {EVerifyKind::New, "D\\2"}, {EVerifyKind::Corrupt, "D\\3"}};
  result.aCounts[int(EVerifyKind::New)] = 2;
  result.aCounts[int(EVerifyKind::Corrupt)] = 1;
  EXPECT_EQ("カタログ D のメディアに壊れているか読めないファイルがあります", VerifyResultMessage("D", result));
  const std::vector<CVerifyRow> rows = VerifyResultRows(result, 1);
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("D\\1", rows[0].m_strPath);
  EXPECT_EQ("ほか 1 件", rows[1].m_strPath);
  EXPECT_FALSE(rows[1].m_bFinding);
  EXPECT_EQ("壊れている", rows[2].m_strKind);
  EXPECT_EQ("D\\3", rows[2].m_strPath);
}
