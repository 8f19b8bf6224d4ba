// The settings store on a settings file of the test's own, and the version
// text of the about box.

#include <wx/fileconf.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <filesystem>

#include "document/about_dlg.h"
#include "document/app_settings.h"
#include "document/settings_file.h"
#include "document/version_text.h"
#include "tests/gui/doc_test_util.h"

namespace {

std::vector<std::string> EntriesOf(wxConfigBase& config, const wxString& group) {
  std::vector<std::string> names;
  const wxString old = config.GetPath();
  config.SetPath(group);
  wxString name;
  long cookie = 0;
  for (bool more = config.GetFirstEntry(name, cookie); more; more = config.GetNextEntry(name, cookie))
    names.push_back(Utf8(name));
  config.SetPath(old);
  return names;
}

}  // namespace

TEST(AppSettings, CleanAccountGivesTheDefaultsAndTheFileLivesInTheConfigFolder) {
  CTestHome home;
  auto config = OpenSettingsFile();
  CAppSettings settings(*config);
  EXPECT_TRUE(settings.GetOpenApps().empty());
  const CatalogOutOptions& options = settings.GetOutputOptions();
  for (std::int32_t flag : {options.kind, options.size, options.createTime, options.modifiedTime,
                            options.attribute, options.note})
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
  WriteTextFile(home.ConfigHome() + "/Quarrix.conf",
                "[FileOpenApp]\n000000=/usr/bin/first\n000002=/usr/bin/third\n");
  auto config = OpenSettingsFile();
  CAppSettings settings(*config);
  EXPECT_EQ(settings.GetOpenApps(), std::vector<std::string>{"/usr/bin/first"});

  settings.SaveOpenApps({"/a/1", "/a/2", "/a/3", "/a/4", "/a/5"});
  EXPECT_EQ(EntriesOf(*config, "/FileOpenApp"),
            (std::vector<std::string>{"000000", "000001", "000002", "000003", "000004"}));
  const std::vector<std::string> three{"/b/ビューア", "/b/2", "/b/3"};
  settings.SaveOpenApps(three);
  EXPECT_EQ(settings.GetOpenApps(), three);
  EXPECT_EQ(EntriesOf(*config, "/FileOpenApp"), (std::vector<std::string>{"000000", "000001", "000002"}));

  // Saving its own list again keeps it; the file holds the same.
  settings.SaveOpenApps(settings.GetOpenApps());
  EXPECT_EQ(settings.GetOpenApps(), three);
  config.reset();
  auto again = OpenSettingsFile();
  EXPECT_EQ(CAppSettings(*again).GetOpenApps(), three);
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
