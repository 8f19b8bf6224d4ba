// The settings store on a settings file of the test's own, and the version
// text of the about box.

#include <sys/stat.h>

#include <wx/filehistory.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <filesystem>
#include <thread>

#include "document/about_dlg.h"
#include "document/file_path_text.h"
#include "document/app_settings.h"
#include "document/settings_file.h"
#include "document/version_text.h"
#include "tests/gui/doc_test_util.h"

TEST(AppSettings, CleanAccountGivesTheDefaultsAndTheFileLivesInTheConfigFolder) {
  CTestHome home;
  auto config = OpenSettingsFile();
  CAppSettings settings(*config);
  EXPECT_TRUE(settings.GetOpenApps().empty());
  const CatalogOutOptions& options = settings.GetOutputOptions();
  for (std::int32_t flag :
       {options.kind, options.size, options.createTime, options.modifiedTime, options.attribute, options.note})
    EXPECT_EQ(flag, 1);
  EXPECT_EQ(LoadPreviewPages(*config), 0);

  CatalogOutOptions changed;
  changed.size = 0;
  changed.note = 0;
  settings.SaveOutputOptions(changed);
  EXPECT_EQ(settings.GetOutputOptions().size, 0);
  const std::string text = ReadTextFile(home.ConfigHome() + "/Quarrix.conf");
  EXPECT_NE(text.find("[CatalogOut]"), std::string::npos) << text;
  EXPECT_NE(text.find("createTime=1"), std::string::npos) << text;
  EXPECT_NE(text.find("size=0"), std::string::npos) << text;
  EXPECT_FALSE(std::filesystem::exists(home.Path() + "/.Quarrix"));

  // Another start reads what was written.
  config.reset();
  auto again = OpenSettingsFile();
  CAppSettings reloaded(*again);
  EXPECT_EQ(reloaded.GetOutputOptions().size, 0);
  EXPECT_EQ(reloaded.GetOutputOptions().note, 0);
  EXPECT_EQ(reloaded.GetOutputOptions().kind, 1);
}

TEST(AppSettings, OpenAppsStopAtTheFirstGapAndARewriteLeavesOnlyTheNewKeys) {
  CTestHome home;
  WriteTextFile(home.ConfigHome() + "/Quarrix.conf", "[FileOpenApp]\n000000=/usr/bin/first\n000002=/usr/bin/third\n");
  auto config = OpenSettingsFile();
  CAppSettings settings(*config);
  EXPECT_EQ(settings.GetOpenApps(), std::vector<std::string>{"/usr/bin/first"});

  settings.SaveOpenApps({"/a/1", "/a/2", "/a/3", "/a/4", "/a/5"});
  EXPECT_EQ(config->GetKeys("FileOpenApp"),
            (std::vector<std::string>{"000000", "000001", "000002", "000003", "000004"}));
  const std::vector<std::string> three{"/b/ビューア", "/b/2", "/b/3"};
  settings.SaveOpenApps(three);
  EXPECT_EQ(settings.GetOpenApps(), three);
  EXPECT_EQ(config->GetKeys("FileOpenApp"), (std::vector<std::string>{"000000", "000001", "000002"}));

  // Saving its own list again keeps it; the file holds the same.
  settings.SaveOpenApps(settings.GetOpenApps());
  EXPECT_EQ(settings.GetOpenApps(), three);
  config.reset();
  auto again = OpenSettingsFile();
  EXPECT_EQ(CAppSettings(*again).GetOpenApps(), three);
}

TEST(AppSettings, GarbledOrUnusableFilesGiveTheDefaultsAndAreNeverMadeWorse) {
  CTestHome home;
  const std::string path = home.ConfigHome() + "/Quarrix.conf";
  // Lines that are no settings are skipped on reading and kept on writing.
  const std::string garbage = "=novalue\n[unclosed\n\xff\xfe junk\n; note\n";
  WriteTextFile(path, garbage + "[CatalogOut]\nsize=0\nkind=x\nnote = 0\n");
  {
    auto store = OpenSettingsFile();
    CAppSettings settings(*store);
    EXPECT_EQ(settings.GetOutputOptions().size, 0);
    EXPECT_EQ(settings.GetOutputOptions().kind, 1);
    EXPECT_EQ(settings.GetOutputOptions().note, 0);
    settings.SaveOpenApps({"/opt/app"});
  }
  EXPECT_EQ(ReadTextFile(path), garbage + "[CatalogOut]\nsize=0\nkind=x\nnote = 0\n[FileOpenApp]\n000000=/opt/app\n");

  // Something that is not a file in its place is neither read nor replaced.
  std::filesystem::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  {
    auto store = OpenSettingsFile();
    CAppSettings settings(*store);
    EXPECT_EQ(settings.GetOutputOptions().size, 1);
    settings.SaveOpenApps({"/opt/app"});
    EXPECT_FALSE(store->Flush());
  }
  EXPECT_TRUE(std::filesystem::is_fifo(path));

  // A configuration folder that cannot be made: values live on in memory.
  std::filesystem::remove(path);
  WriteTextFile(home.File("plain"), "");
  setenv("XDG_CONFIG_HOME", home.File("plain/config").c_str(), 1);
  auto store = OpenSettingsFile();
  CAppSettings settings(*store);
  settings.SaveOpenApps({"/opt/app"});
  EXPECT_EQ(settings.GetOpenApps(), std::vector<std::string>{"/opt/app"});
  EXPECT_FALSE(store->Flush());
}

TEST(AppSettings, StoredPathsAreKeptLiterally) {
  CTestHome home;
  WriteTextFile(home.ConfigHome() + "/Quarrix.conf",
                "[Recent\\ File\\ List]\nFile1=/sets/a$HOME.fcf\n[FileOpenApp]\n000000=/opt/$HOME/app\n");
  auto store = OpenSettingsFile();
  EXPECT_EQ(CAppSettings(*store).GetOpenApps(), std::vector<std::string>{"/opt/$HOME/app"});
  wxFileHistory history(kRecentFileCount);
  LoadRecentFileList(*store, history);
  ASSERT_EQ(history.GetCount(), 1u);
  EXPECT_EQ(Utf8(history.GetHistoryFile(0)), "/sets/a$HOME.fcf");

  // Escapes, quotes, blanks and bytes that are not UTF-8 come back as they went in.
  const std::string odd[] = {"/x/${PATH}%HOME%", " lead\"q\\t\n", "trail ", "/sets/caf\xe9.fcf"};
  for (std::size_t i = 0; i < std::size(odd); ++i) store->SetString("Odd", std::to_string(i), odd[i]);
  history.AddFileToHistory(WxFromPath(odd[3]));
  SaveRecentFileList(*store, history);
  auto again = OpenSettingsFile();
  for (std::size_t i = 0; i < std::size(odd); ++i) EXPECT_EQ(again->GetString("Odd", std::to_string(i)), odd[i]);
  EXPECT_EQ(again->GetString("Recent File List", "File1"), odd[3]);
  EXPECT_EQ(again->GetString("Recent File List", "File2"), "/sets/a$HOME.fcf");
}

TEST(AppSettings, InstancesKeepEachOthersChanges) {
  CTestHome home;
  const std::string path = home.ConfigHome() + "/Quarrix.conf";
  WriteTextFile(path, "[Recent\\ File\\ List]\nFile1=/old.fcf\n");
  auto first = OpenSettingsFile();
  auto second = OpenSettingsFile();
  CAppSettings firstSettings(*first);
  CAppSettings secondSettings(*second);
  firstSettings.SaveOpenApps({"/opt/viewer"});
  second->SetString("Recent File List", "File1", "/new.fcf");
  CatalogOutOptions options;
  options.note = 0;
  secondSettings.SaveOutputOptions(options);
  // The first exits last, its recent files untouched: nothing of it changes.
  wxFileHistory history(kRecentFileCount);
  LoadRecentFileList(*first, history);
  SaveRecentFileList(*first, history);

  auto after = OpenSettingsFile();
  EXPECT_EQ(CAppSettings(*after).GetOpenApps(), std::vector<std::string>{"/opt/viewer"});
  EXPECT_EQ(CAppSettings(*after).GetOutputOptions().note, 0);
  EXPECT_EQ(after->GetString("Recent File List", "File1"), "/new.fcf");

  // Writers at the same time lose nothing either.
  auto writer = [&path](const std::string& section) {
    CSettingsStore store(path);
    for (int n = 0; n < 20; ++n) {
      store.SetInt(section, std::to_string(n), n);
      EXPECT_TRUE(store.Flush());
    }
  };
  std::thread one(writer, "One"), two(writer, "Two");
  one.join();
  two.join();
  auto both = OpenSettingsFile();
  EXPECT_EQ(both->GetKeys("One").size(), 20u);
  EXPECT_EQ(both->GetKeys("Two").size(), 20u);
  EXPECT_EQ(both->GetString("FileOpenApp", "000000"), "/opt/viewer");
}

TEST(VersionText, HexadecimalPartsWithoutTheRevision) {
  EXPECT_EQ(MakeVersionText("1.10.2.5"), "1.a.2");
  EXPECT_EQ(MakeVersionText("3.2.0.0"), "3.2");
  EXPECT_EQ(MakeVersionText("0.1"), "0.1");
  EXPECT_EQ(MakeVersionText("1.0.0.5"), "1.0");  // the revision alone shows nothing
  EXPECT_EQ(MakeVersionText("65535.31.16"), "ffff.1f.10");
  for (const char* bad : {"", "1.x", "1..2", "1.2.3.4.5", "65536.0", "1.", " 1.2"})
    EXPECT_EQ(MakeVersionText(bad), "X.X") << bad;
}

TEST(AboutBox, ShowsTheNameWithTheVersionText) {
  CAboutDlg about(nullptr, "1.10.2.5");
  about.Show();
  EXPECT_EQ(Utf8(about.GetTitle()), "クオリクスのﾊﾞｰｼﾞｮﾝ情報");
  EXPECT_EQ(Utf8(XRCCTRL(about, "ID_VERSION_TEXT", wxStaticText)->GetLabel()), "クオリクス Version 1.a.2");
  EXPECT_TRUE(about.FindWindow(wxID_OK));

  CAboutDlg unknown(nullptr, "");
  unknown.Show();
  EXPECT_EQ(Utf8(XRCCTRL(unknown, "ID_VERSION_TEXT", wxStaticText)->GetLabel()), "クオリクス Version X.X");
}

TEST(AppSettings, SearchOptionsKeepASectionOfTheirOwn) {
  CTestHome home;
  auto config = OpenSettingsFile();
  CAppSettings settings(*config);
  EXPECT_FALSE(settings.GetSearchOptions().name.bIgnoreWidth);
  EXPECT_FALSE(settings.GetSearchOptions().note.bIgnoreKana);
  CSearchOptions options;
  options.name.bIgnoreWidth = true;
  options.note.bIgnoreKana = true;
  settings.SaveSearchOptions(options);
  const std::string text = ReadTextFile(home.ConfigHome() + "/Quarrix.conf");
  EXPECT_NE(text.find("[SearchOptions]"), std::string::npos) << text;

  config.reset();
  auto again = OpenSettingsFile();
  CAppSettings reloaded(*again);
  EXPECT_TRUE(reloaded.GetSearchOptions().name.bIgnoreWidth);
  EXPECT_FALSE(reloaded.GetSearchOptions().name.bIgnoreKana);
  EXPECT_FALSE(reloaded.GetSearchOptions().note.bIgnoreWidth);
  EXPECT_TRUE(reloaded.GetSearchOptions().note.bIgnoreKana);
}
