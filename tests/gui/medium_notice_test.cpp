// Media and the main window: a medium of the set connected while the
// program runs is offered for update in the info bar, and the patterns new
// catalogs leave out are edited from the menu and kept in the settings.

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <wx/infobar.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <filesystem>

#include "dialogs/exclude_patterns_dlg.h"
#include "dialogs/update_summary_dlg.h"
#include "document/app_settings.h"
#include "document/command_ids.h"
#include "document/explorer_ap_doc.h"
#include "document/settings_file.h"
#include "document/settings_store.h"
#include "model/catalog_update.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/explorer_test_util.h"
#include "ui/frame_ids.h"
#include "ui/main_frame.h"

namespace {

// A small RAM disk at a folder of the test, unmounted at the end.
class CRamDisk {
 public:
  explicit CRamDisk(std::string path) : m_strPath(std::move(path)) { std::filesystem::create_directories(m_strPath); }
  ~CRamDisk() { Unmount(); }
  bool Mount() { return m_bMounted = mount("quarrix", m_strPath.c_str(), "tmpfs", 0, "size=8m") == 0; }
  void Unmount() {
    if (m_bMounted) umount2(m_strPath.c_str(), MNT_DETACH);
    m_bMounted = false;
  }

 private:
  std::string m_strPath;
  bool m_bMounted = false;
};

class MediumNotice : public CExplorerTest {
 protected:
  bool Has(const std::string& path) {
    return FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), path) != nullptr;
  }
};

CExpectDialog<CExcludePatternsDlg> AnswerPatterns(std::string shown, std::string typed, int button) {
  return CExpectDialog<CExcludePatternsDlg>([=](CExcludePatternsDlg* dlg) {
    return AnswerDialog(dlg, button, [&](CExcludePatternsDlg* d) {
      wxTextCtrl* edit = XRCCTRL(*d, "ID_PATTERNS", wxTextCtrl);
      EXPECT_EQ(shown, Utf8(edit->GetValue()));
      edit->SetValue(wxString::FromUTF8(typed));
    });
  });
}

}  // namespace

TEST_F(MediumNotice, AMediumOfTheSetConnectedIsOfferedAndItsButtonUpdatesTheCatalog) {
  const std::string usb = m_home.File("usb");
  CRamDisk ram(usb);
  if (!ram.Mount()) GTEST_SKIP() << "mounting is not allowed here";
  WriteTextFile(usb + "/old.txt", "old");
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, MakeCatalog("USB", {usb}, CScanOptions(), catalog, message));
  ram.Unmount();
  std::unique_ptr<CRootFileInfo> set = MakeExplorerTestSet();
  set->AppendCatalog(std::move(catalog), 1700000000);
  UseSet(std::move(set));
  Settle();
  Frame().CheckNewMedia();
  ASSERT_NE(nullptr, Frame().GetInfoBar());
  EXPECT_FALSE(Frame().GetInfoBar()->IsShown());

  // A RAM disk keeps no identity: its file, back as it was, tells it.
  const CFileInfo* old = FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), "USB\\old.txt");
  ASSERT_NE(nullptr, old);
  const std::uint64_t unixTicks = old->WriteFileTime() - 116444736000000000ull;  // FILETIME from 1601
  const struct timespec when = {time_t(unixTicks / 10000000), long(unixTicks % 10000000 * 100)};
  ASSERT_TRUE(ram.Mount());
  WriteTextFile(usb + "/old.txt", "old");
  const struct timespec times[2] = {when, when};
  ASSERT_EQ(0, utimensat(AT_FDCWD, (usb + "/old.txt").c_str(), times, 0));
  WriteTextFile(usb + "/new.txt", "new");
  Frame().CheckNewMedia();
  EXPECT_TRUE(Frame().GetInfoBar()->IsShown());
  EXPECT_EQ("「USB」が接続されました。カタログを更新しますか?", Frame().GetMediumNotice());

  wxCommandEvent click(wxEVT_BUTTON, ID_UPDATE_CONNECTED);
  click.SetEventObject(Frame().GetInfoBar());
  wxTEST_DIALOG(Frame().GetInfoBar()->HandleWindowEvent(click),
                CExpectDialog<CUpdateSummaryDlg>([](CUpdateSummaryDlg* dlg) {
                  EXPECT_EQ("1", dlg->GetText("ID_ADDED"));
                  return AnswerDialog(dlg, wxID_OK);
                }));
  EXPECT_TRUE(Has("USB\\new.txt"));
  EXPECT_TRUE(Has("USB\\old.txt"));  // back as it was
  EXPECT_FALSE(Frame().GetInfoBar()->IsShown());
}

TEST_F(MediumNotice, ExcludePatternsComeFromTheMenuAreKeptAndLeaveEntriesOutOfNewCatalogs) {
  CScopedAppSettings settings;
  EXPECT_TRUE(Enabled(ID_EXCLUDE_PATTERNS));
  wxTEST_DIALOG(Command(ID_EXCLUDE_PATTERNS), AnswerPatterns("", " cache \n\n*.tmp\r\ncache\n", wxID_OK));
  EXPECT_EQ((std::vector<std::string>{"cache", "*.tmp"}), CAppSettings(*OpenSettingsFile()).GetExcludePatterns());
  wxTEST_DIALOG(Command(ID_EXCLUDE_PATTERNS), AnswerPatterns("cache\n*.tmp\n", "", wxID_CANCEL));
  EXPECT_EQ(2u, GetAppSettings()->GetExcludePatterns().size());

  const std::string disk = m_home.File("disk");
  std::filesystem::create_directories(disk + "/cache");
  for (const char* name : {"keep.txt", "drop.tmp", "cache/x.txt"}) WriteTextFile(disk + "/" + name, name);
  wxTEST_DIALOG(Command(ID_ADD_CATALOG), CExpectDirDialog(disk), CExpectLabelDlg("Disk"));
  EXPECT_TRUE(Has("Disk\\keep.txt"));
  EXPECT_FALSE(Has("Disk\\drop.tmp"));
  EXPECT_FALSE(Has("Disk\\cache"));
  const auto* added =
      static_cast<const CDriveFileInfo*>(FindByPath(static_cast<const CFileInfo*>(Doc().GetRoot()), "Disk"));
  ASSERT_TRUE(added && added->m_record);
  EXPECT_EQ((std::vector<std::string>{"cache", "*.tmp"}), added->m_record->excludes);
}
