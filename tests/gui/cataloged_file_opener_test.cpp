// Opening catalogued files: the path rules, and the whole open with the
// locate, application and file dialogs answered and a launcher that records
// what it would start instead of starting it.

#include <wx/combobox.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

#include <glib.h>
#include <sys/stat.h>

#include "dialogs/locate_file_dlg.h"
#include "dialogs/select_app_dlg.h"
#include "document/app_launcher.h"
#include "document/app_settings.h"
#include "document/background_work.h"
#include "document/cataloged_file_opener.h"
#include "document/child_environment.h"
#include "document/member_opener.h"
#include "document/settings_file.h"
#include "model/archive_listing.h"
#include "model/item_real_name.h"
#include "tests/gui/doc_test_util.h"
#include "tests/gui/expect_dialog.h"
#include "tests/gui/gui_test_sets.h"

namespace {

class CFakeLauncher : public CAppLauncher {
 public:
  EOpenResult OpenWithAssociated(const std::string& path) override {
    m_vecAssociated.push_back(path);
    return m_associated;
  }
  bool OpenWithProgram(const std::string& program, const std::string& path) override {
    m_vecStarted.push_back(ProgramArguments(program, path));
    return m_bProgramStarts;
  }

  EOpenResult m_associated = OPEN_DONE;
  bool m_bProgramStarts = true;
  std::vector<std::string> m_vecAssociated;            // paths opened by association
  std::vector<std::vector<std::string>> m_vecStarted;  // argument vectors of chosen programs
};

std::string Squeezed(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == ' '; }), text.end());
  return text;
}

// The locate dialog: its text must be message; act runs before button.
template <typename Act>
CExpectDialog<CLocateFileDlg> Locate(std::string message, int button, Act act) {
  return CExpectDialog<CLocateFileDlg>([=](CLocateFileDlg* dlg) {
    return AnswerDialog(dlg, button, [&](CLocateFileDlg* d) {
      EXPECT_EQ(Squeezed(Utf8(XRCCTRL(*d, "ID_LOCATE_MESSAGE", wxStaticText)->GetLabelText())), Squeezed(message));
      act();
    });
  });
}
CExpectDialog<CLocateFileDlg> Locate(std::string message, int button) {
  return Locate(std::move(message), button, [] {});
}

// The application dialog: typed (or left as offered when app is empty), then
// OK; cancelled when cancel is set.
CExpectDialog<CSelectAppDlg> ChooseApp(std::string app, bool cancel = false) {
  return CExpectDialog<CSelectAppDlg>([=](CSelectAppDlg* dlg) {
    return AnswerDialog(dlg, cancel ? wxID_CANCEL : wxID_OK, [&](CSelectAppDlg* d) {
      if (!app.empty()) XRCCTRL(*d, "ID_APPLICATION", wxComboBox)->SetValue(wxString::FromUTF8(app));
    });
  });
}

// A set with one catalog CD1 of the test's "disk" folder, which holds
// docs/memo.txt and "my file.txt" only in the catalog.
class OpenCatalogedFileTest : public testing::Test {
 protected:
  OpenCatalogedFileTest() {
    m_strDisk = m_home.File("disk");
    std::filesystem::create_directories(m_strDisk + "/docs");
    CDriveFileInfo* catalog = m_set.AppendCatalog(TestCatalog("CD1"), 0);
    catalog->m_strCatalogedPath = m_strDisk;
    CFolderFileInfo* docs = AddFolder(*catalog, TestFolder("docs"));
    Add(*docs, TestFile("memo.txt"));
    Add(*catalog, TestFile("my file.txt"));
    m_strMemo = m_strDisk + "/docs/memo.txt";
  }

  ~OpenCatalogedFileTest() override { MemberCopyArea() = m_strSavedArea; }

  // Copies the fixture archive onto the disk as name and lists it; its
  // members folder (null without fixtures).
  CFolderFileInfo* ListFixture(const std::string& fixture, const std::string& name) {
    const char* fixtures = std::getenv("QUARRIX_ARCHIVE_FIXTURES");
    if (fixtures == nullptr || !std::filesystem::exists(std::string(fixtures) + "/.done")) return nullptr;
    const std::string path = m_strDisk + "/" + name;
    std::filesystem::copy_file(std::string(fixtures) + "/" + fixture, path);
    auto* catalog = static_cast<CDriveFileInfo*>(FindByPath(static_cast<CFileInfo*>(&m_set), "CD1"));
    CFileInfo& item = *Add(*catalog, TestFile(name));
    CFolderFileInfo& members = catalog->AttachMembers(item, 0);
    std::uint8_t state = 0;
    ListArchive(*MakeFileContentReader(), path, members, {}, nullptr, state);
    return &members;
  }

  // The folders of copies left in the area.
  std::size_t CopiesLeft() const {
    std::error_code error;
    const std::filesystem::directory_iterator folders(MemberCopyArea(), error);
    return error ? 0 : std::size_t(std::distance(folders, std::filesystem::directory_iterator()));
  }

  void Open(const std::string& logicalPath) {
    OpenCatalogedFile(m_set, logicalPath, nullptr, m_pSettings.get(), m_launcher);
  }

  // Settings whose remembered list is apps.
  void RememberApps(const std::vector<std::string>& apps) {
    m_pConfig = OpenSettingsFile();
    m_pSettings = std::make_unique<CAppSettings>(*m_pConfig);
    m_pSettings->SaveOpenApps(apps);
  }
  std::string SettingsFile() const { return m_home.ConfigHome() + "/Quarrix.conf"; }

  CTestHome m_home;
  const std::string m_strSavedArea = std::exchange(MemberCopyArea(), m_home.File("copies"));
  CRootFileInfo m_set{"set"};
  std::string m_strDisk, m_strMemo;
  CFakeLauncher m_launcher;
  std::unique_ptr<CSettingsStore> m_pConfig;
  std::unique_ptr<CAppSettings> m_pSettings;
};

}  // namespace

// --- path rules --------------------------------------------------------------

TEST(CatalogedPath, RealPathsFollowTheCatalogsBasePath) {
  const auto real = [](const std::string& base, const std::string& rest) {
    std::unique_ptr<CDriveFileInfo> catalog = TestCatalog("CD1");
    catalog->m_strCatalogedPath = base;
    return RealPathOfItem(*catalog, rest).value_or("(none)");
  };
  EXPECT_EQ(real("/media/cd", "docs\\memo.txt"), "/media/cd/docs/memo.txt");
  EXPECT_EQ(real("/", "docs\\memo.txt"), "/docs/memo.txt");
  EXPECT_EQ(real("/media/cd", "表\\資料.txt"), "/media/cd/表/資料.txt");
  // Catalogs made on another system name no place here.
  EXPECT_EQ(real("D:", "docs\\memo.txt"), "D:\\docs\\memo.txt");
  EXPECT_EQ(real("C:\\data", "memo.txt"), "C:\\data\\memo.txt");
  EXPECT_FALSE(IsFilePresent("D:\\docs\\memo.txt"));
  EXPECT_FALSE(IsFilePresent(""));
  EXPECT_TRUE(IsFilePresent("/"));
}

TEST(CatalogedPath, SplittingNeedsAFileOfAKnownCatalogAndRefusesStepsOutOfIt) {
  CRootFileInfo set("set");
  set.AppendCatalog(TestCatalog("CD1"), 0);  // catalogued from /data/CD1
  std::string catalog, real, name;
  ASSERT_TRUE(SplitCatalogPath(set, "CD1\\docs\\memo.txt", catalog, real, name));
  EXPECT_EQ(catalog, "CD1");
  EXPECT_EQ(real, "/data/CD1/docs/memo.txt");
  EXPECT_EQ(name, "memo.txt");
  ASSERT_TRUE(SplitCatalogPath(set, "CD1\\top.bin", catalog, real, name));
  EXPECT_EQ(real, "/data/CD1/top.bin");
  EXPECT_EQ(name, "top.bin");

  for (const char* bad :
       {"CD1", "", "CD2\\a.txt", "CD1\\", "\\a.txt", "CD1\\..\\..\\etc\\passwd", "CD1\\a\\\\b", "CD1\\.\\a"})
    EXPECT_FALSE(SplitCatalogPath(set, bad, catalog, real, name)) << bad;
}

TEST(CatalogedPath, LocateMessageNamesTheFileThePlaceAndTheCatalog) {
  EXPECT_EQ(LocateFileMessage("CD1\\a.txt", "/media/cd/a.txt", "CD1"),
            "【CD1\\a.txt】 はカタログ化されたときの場所 【/media/cd/a.txt】 にありません。\n\n"
            "カタログ 【CD1】 が格納されているディスクをセットして再検索してください。\n\n"
            "他の場所を探す場合には、場所を指定してください");
}

TEST(AppLauncher, APathIsOneArgumentAndNeverAnOption) {
  EXPECT_EQ(ProgramArguments("/usr/bin/viewer", "/media/my file; rm x.txt"),
            (std::vector<std::string>{"/usr/bin/viewer", "/media/my file; rm x.txt"}));
  EXPECT_EQ(ProgramArguments("viewer", "-rf"), (std::vector<std::string>{"viewer", "./-rf"}));
  // A program that does not exist is a failure, not a silent success.
  CDesktopLauncher launcher;
  EXPECT_FALSE(launcher.OpenWithProgram("/nonexistent/quarrix-test-program", "/"));
  EXPECT_FALSE(launcher.OpenWithProgram("", "/"));
}

// The Japanese LANGUAGE set for this program's own texts is not passed on.
TEST(AppLauncher, ProgramsStartInTheUsersLanguage) {
  const CTestHome dir;
  const std::string script = dir.File("viewer.sh"), out = dir.File("language");
  WriteTextFile(script, "#!/bin/sh\necho \"${LANGUAGE-unset}\" > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"\n");
  chmod(script.c_str(), 0755);
  const auto languageSeen = [&](const char* kept) {
    KeepLanguageForChildren(kept);
    std::remove(out.c_str());
    EXPECT_TRUE(CDesktopLauncher().OpenWithProgram(script, out));
    std::string text;
    for (int i = 0; i < 500 && !g_file_get_contents(out.c_str(), nullptr, nullptr, nullptr); ++i) g_usleep(10000);
    gchar* contents = nullptr;
    if (g_file_get_contents(out.c_str(), &contents, nullptr, nullptr)) text = contents;
    g_free(contents);
    return text;
  };
  EXPECT_EQ(languageSeen("fr:en"), "fr:en\n");
  EXPECT_EQ(languageSeen(nullptr), "unset\n");
}

// --- opening -----------------------------------------------------------------

TEST_F(OpenCatalogedFileTest, APresentFileOpensWithoutAnyDialog) {
  WriteTextFile(m_strMemo, "memo");
  Open("CD1\\docs\\memo.txt");
  EXPECT_EQ(m_launcher.m_vecAssociated, std::vector<std::string>{m_strMemo});
  EXPECT_TRUE(m_launcher.m_vecStarted.empty());
}

// A hand-built set's name holding "/" would reach a file beside the catalog's
// place, which is there: the open is refused and says why.
TEST_F(OpenCatalogedFileTest, ANameLeadingOutOfTheCatalogIsRefused) {
  Add(*static_cast<CDriveFileInfo*>(FindByPath(static_cast<CFileInfo*>(&m_set), "CD1")), TestFile("../outside.txt"));
  WriteTextFile(m_home.File("outside.txt"), "outside");
  wxTEST_DIALOG(Open("CD1\\../outside.txt"), CExpectMessageBox(kOutsideCatalogMessage));
  EXPECT_TRUE(m_launcher.m_vecAssociated.empty());
}

TEST_F(OpenCatalogedFileTest, AnAbsentFileIsSoughtAgainUntilItIsThere) {
  const std::string message = LocateFileMessage("CD1\\docs\\memo.txt", m_strMemo, "CD1");
  const std::string memo = m_strMemo;
  wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), Locate(message, XRCID("ID_SEARCH_AGAIN")),
                Locate(message, XRCID("ID_SEARCH_AGAIN"), [memo] { WriteTextFile(memo, "back"); }));
  EXPECT_EQ(m_launcher.m_vecAssociated, std::vector<std::string>{m_strMemo});
}

TEST_F(OpenCatalogedFileTest, AFileMovedElsewhereIsOpenedWhereTheUserPointsAndCancelGivesUp) {
  const std::string moved = m_home.File("moved/memo.txt");
  std::filesystem::create_directories(m_home.File("moved"));
  WriteTextFile(moved, "memo");
  const std::string message = LocateFileMessage("CD1\\docs\\memo.txt", m_strMemo, "CD1");
  wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), Locate(message, XRCID("ID_SPECIFY_PLACE")), CAnswerFileDialog(moved));
  EXPECT_EQ(m_launcher.m_vecAssociated, std::vector<std::string>{moved});

  m_launcher.m_vecAssociated.clear();
  wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), Locate(message, wxID_CANCEL), CExpectMessageBox(kOpenFileFailed));
  EXPECT_TRUE(m_launcher.m_vecAssociated.empty());
}

TEST_F(OpenCatalogedFileTest, AMemberOpensFromACopyOfItAloneAndAnAbsentArchiveIsAskedFor) {
  if (ListFixture("plain.zip", "a.zip") == nullptr) GTEST_SKIP() << "no archive fixtures";
  Open("CD1\\a.zip\\sub\\readme.txt");
  ASSERT_EQ(m_launcher.m_vecAssociated.size(), 1u);
  const std::string copy = m_launcher.m_vecAssociated[0];
  EXPECT_EQ(ReadTextFile(copy), "readme\n");
  EXPECT_EQ(copy.rfind(MemberCopyArea() + "/", 0), 0u);
  RemoveMemberCopies();
  EXPECT_FALSE(std::filesystem::exists(copy));

  const std::string zip = m_strDisk + "/a.zip";
  std::filesystem::remove(zip);
  const std::string message = LocateFileMessage("CD1\\a.zip", zip, "CD1");
  wxTEST_DIALOG(Open("CD1\\a.zip\\sub\\readme.txt"), Locate(message, wxID_CANCEL), CExpectMessageBox(kOpenFileFailed));
  EXPECT_EQ(m_launcher.m_vecAssociated.size(), 1u);
}

TEST_F(OpenCatalogedFileTest, AMemberNamedByAPathInACraftedSetOpensNothingOutsideItsCopysFolder) {
  CFolderFileInfo* members = ListFixture("plain.zip", "a.zip");
  if (members == nullptr) GTEST_SKIP() << "no archive fixtures";
  const std::string victim = m_home.File("important.txt");
  WriteTextFile(victim, "important");
  Add(*members, TestFile(victim));
  Add(*members, TestFile("../../important.txt"));
  const std::string notFound = MemberCopyMessage(EExtract::NotFound);
  wxTEST_DIALOG(Open("CD1\\a.zip\\" + victim), CExpectMessageBox(notFound));
  wxTEST_DIALOG(Open("CD1\\a.zip\\../../important.txt"), CExpectMessageBox(notFound));
  EXPECT_EQ(ReadTextFile(victim), "important");
  EXPECT_TRUE(m_launcher.m_vecAssociated.empty());
  EXPECT_EQ(0u, CopiesLeft());
}

TEST_F(OpenCatalogedFileTest, MembersNamedAsDrivesOrDevicesOpenFromCopiesUnderSafeNames) {
  if (ListFixture("names.zip", "n.zip") == nullptr) GTEST_SKIP() << "no archive fixtures";
  Open("CD1\\n.zip\\D:大事な書類.txt");
  Open("CD1\\n.zip\\CON");
  ASSERT_EQ(m_launcher.m_vecAssociated.size(), 2u);
  EXPECT_EQ("D_大事な書類.txt", std::filesystem::u8path(m_launcher.m_vecAssociated[0]).filename().u8string());
  EXPECT_EQ("copy of D:大事な書類.txt", ReadTextFile(m_launcher.m_vecAssociated[0]));
  EXPECT_EQ("_CON", std::filesystem::u8path(m_launcher.m_vecAssociated[1]).filename().u8string());
}

TEST_F(OpenCatalogedFileTest, AMemberLargerThanListedOrALinkIsRefusedWithItsReasonAndLeavesNothing) {
  if (ListFixture("lying.zip", "l.zip") == nullptr || ListFixture("links.tar", "l.tar") == nullptr)
    GTEST_SKIP() << "no archive fixtures";
  wxTEST_DIALOG(Open("CD1\\l.zip\\zeros.bin"), CExpectMessageBox(MemberCopyMessage(EExtract::TooLarge)));
  wxTEST_DIALOG(Open("CD1\\l.tar\\soft.txt"), CExpectMessageBox(MemberCopyMessage(EExtract::NotAFile)));
  EXPECT_EQ(0u, CopiesLeft());
  Open("CD1\\l.tar\\hard.txt");
  ASSERT_EQ(m_launcher.m_vecAssociated.size(), 1u);
  EXPECT_EQ("linked data\n", ReadTextFile(m_launcher.m_vecAssociated[0]));
}

TEST_F(OpenCatalogedFileTest, CancellingTheCopysProgressOpensNothingAndLeavesNothing) {
  if (ListFixture("plain.zip", "a.zip") == nullptr) GTEST_SKIP() << "no archive fixtures";
  const int savedDelay = g_nProgressDelayMilliseconds;
  g_nProgressDelayMilliseconds = -1;
  // Answered at once: the copy may be done by then, and is still not kept.
  wxTEST_DIALOG(Open("CD1\\a.zip\\sub\\readme.txt"),
                CExpectDialog<CProgressDlg>([](CProgressDlg* dlg) { return AnswerDialog(dlg, wxID_CANCEL); }),
                CExpectMessageBox(MemberCopyMessage(EExtract::Cancelled)));
  g_nProgressDelayMilliseconds = savedDelay;
  EXPECT_TRUE(m_launcher.m_vecAssociated.empty());
  EXPECT_EQ(0u, CopiesLeft());
}

TEST_F(OpenCatalogedFileTest, AnAbsentMediumIsAskedForByItsLabelTypeAndSize) {
  const auto ask = [&](const std::string& path, const std::string& medium) {
    const std::string message = "【CD1\\docs\\memo.txt】 はカタログ化されたときの場所 【" + path +
                                "】 にありません。\n\nカタログ 【CD1】 のメディア 【" + medium +
                                "】 が接続されていません。このメディアをセットして再検索してください。\n\n"
                                "他の場所を探す場合には、場所を指定してください";
    wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), Locate(message, wxID_CANCEL), CExpectMessageBox(kOpenFileFailed));
  };
  auto* catalog = const_cast<CDriveFileInfo*>(FindCatalog(m_set, "CD1"));
  ASSERT_NE(nullptr, catalog);
  // Without a record: the catalog's own label, media type and size.
  catalog->m_strCatalogedPath = m_home.File("unplugged");
  ask(m_home.File("unplugged/docs/memo.txt"), "CD1 (固定ディスク, 4MB)");

  // The place is there, but holds another file system than the record's.
  catalog->m_strCatalogedPath = m_strDisk;
  CCatalogRecord record;
  record.medium = {"1234-ABCD", "vfat", "PHOTOS", 16ULL << 30, "/"};
  catalog->m_record = record;
  ask(m_strMemo, "PHOTOS (固定ディスク, vfat, 16,384MB)");
  EXPECT_TRUE(m_launcher.m_vecAssociated.empty());
}

TEST_F(OpenCatalogedFileTest, ConfirmTakesTheCatalogAndFileNameFromTheLogicalPathWhenNotGiven) {
  std::string path = m_strDisk + "/a.txt";
  const std::string message = LocateFileMessage("CD1\\a.txt", path, "CD1");
  bool present = false;
  wxTEST_DIALOG(present = ConfirmFilePresent(path, "CD1\\a.txt"), Locate(message, wxID_CANCEL));
  EXPECT_FALSE(present);
  // A catalog's own path names no file: nothing to look for.
  EXPECT_FALSE(ConfirmFilePresent(path, "CD1"));
}

TEST_F(OpenCatalogedFileTest, WithNoAssociatedApplicationTheChosenOneGetsThePathAndIsRememberedFirst) {
  const std::string file = m_strDisk + "/my file.txt";
  WriteTextFile(file, "x");
  RememberApps({"/opt/one", "/opt/two"});
  m_launcher.m_associated = CAppLauncher::OPEN_NO_APPLICATION;
  wxTEST_DIALOG(Open("CD1\\my file.txt"), ChooseApp("/opt/new app"));
  ASSERT_EQ(m_launcher.m_vecStarted.size(), 1u);
  EXPECT_EQ(m_launcher.m_vecStarted[0], (std::vector<std::string>{"/opt/new app", file}));
  EXPECT_EQ(m_pSettings->GetOpenApps(), (std::vector<std::string>{"/opt/new app", "/opt/one", "/opt/two"}));
  const std::string text = ReadTextFile(SettingsFile());
  EXPECT_NE(text.find("[FileOpenApp]\n000000=/opt/new app\n000001=/opt/one\n000002=/opt/two\n"), std::string::npos)
      << text;
}

TEST_F(OpenCatalogedFileTest, ChoosingARememberedApplicationLeavesTheSettingsAlone) {
  WriteTextFile(m_strMemo, "memo");
  RememberApps({"/opt/one", "/opt/two"});
  // Anything written from here on would bring the file back.
  std::filesystem::remove(SettingsFile());
  m_launcher.m_associated = CAppLauncher::OPEN_NO_APPLICATION;
  wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), ChooseApp("/opt/two"));
  ASSERT_EQ(m_launcher.m_vecStarted.size(), 1u);
  EXPECT_EQ(m_launcher.m_vecStarted[0][0], "/opt/two");
  // An associated application that does not start offers the same choice.
  m_launcher.m_associated = CAppLauncher::OPEN_FAILED;
  wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), ChooseApp("/opt/one"));
  ASSERT_EQ(m_launcher.m_vecStarted.size(), 2u);
  EXPECT_EQ(m_launcher.m_vecStarted[1], (std::vector<std::string>{"/opt/one", m_strMemo}));
  EXPECT_EQ(m_pSettings->GetOpenApps(), (std::vector<std::string>{"/opt/one", "/opt/two"}));
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

TEST_F(OpenCatalogedFileTest, EveryFailureEndsInOneMessageAndRemembersNothing) {
  WriteTextFile(m_strMemo, "memo");
  RememberApps({});
  std::filesystem::remove(SettingsFile());

  // A catalog's own path: at once, nothing looked at.
  wxTEST_DIALOG(Open("CD1"), CExpectMessageBox(kOpenFileFailed));
  EXPECT_TRUE(m_launcher.m_vecAssociated.empty());

  // The application dialog cancelled (it comes also when the associated
  // application does not start), or the chosen program not starting.
  for (auto associated : {CAppLauncher::OPEN_FAILED, CAppLauncher::OPEN_NO_APPLICATION}) {
    m_launcher.m_associated = associated;
    wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), ChooseApp("/opt/x", true), CExpectMessageBox(kOpenFileFailed));
  }
  EXPECT_TRUE(m_launcher.m_vecStarted.empty());
  m_launcher.m_bProgramStarts = false;
  wxTEST_DIALOG(Open("CD1\\docs\\memo.txt"), ChooseApp("/opt/broken"), CExpectMessageBox(kOpenFileFailed));
  EXPECT_EQ(m_launcher.m_vecStarted.size(), 1u);
  EXPECT_TRUE(m_pSettings->GetOpenApps().empty());
  EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}
