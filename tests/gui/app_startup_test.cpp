// Start-up pieces: the desktop's knowledge of the document type, the command
// line, the status text at idle time, and opening the manual.

#include <gio/gio.h>

#include <wx/frame.h>

#include <cstdio>
#include <filesystem>

#include "document/doc_manager.h"
#include "document/doc_template.h"
#include "app/explorer_ap_app.h"
#include "document/explorer_ap_doc.h"
#include "document/file_path_text.h"
#include "document/file_association.h"
#include "document/help_contents.h"
#include "model/set_file.h"
#include "tests/gui/doc_test_util.h"

TEST(FileAssociation, WritesThePackageAndTheEntryOnlyWhenTheyDiffer) {
  CTestHome home;
  const std::string program = "/opt/quarrix/bin/quarrix";
  EXPECT_EQ(RegisterDocumentType(home.DataHome(), program), 3);
  const std::string package = ReadTextFile(home.DataHome() + "/mime/packages/quarrix-tallyhold.xml");
  EXPECT_NE(package.find("type=\"application/x-tallyhold\""), std::string::npos);
  EXPECT_NE(package.find("<comment>Tally Hold Document</comment>"), std::string::npos);
  EXPECT_NE(package.find("<comment xml:lang=\"ja\">クオリクス カタログセット</comment>"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.fcf\"/>"), std::string::npos);
  const std::string entry = ReadTextFile(home.DataHome() + "/applications/quarrix.desktop");
  EXPECT_NE(entry.find("\nExec=\"/opt/quarrix/bin/quarrix\" %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-tallyhold;\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=quarrix\n"), std::string::npos) << entry;
  EXPECT_NE(ReadTextFile(home.DataHome() + "/icons/hicolor/scalable/apps/quarrix.svg").find("<svg"), std::string::npos);
  // The installed files are the same texts, for the program found on PATH.
  EXPECT_EQ(ReadTextFile(QUARRIX_SOURCE_DIR "/resources/desktop/quarrix.desktop"), DesktopEntryText("quarrix"));
  EXPECT_EQ(ReadTextFile(QUARRIX_SOURCE_DIR "/resources/desktop/quarrix-tallyhold.xml"), MimePackageText());

  EXPECT_EQ(RegisterDocumentType(home.DataHome(), program), 0);
  EXPECT_EQ(RegisterDocumentType(home.DataHome(), "/elsewhere/quarrix"), 1);
  EXPECT_EQ(RegisterDocumentType("", program), 0);

  EXPECT_EQ(XdgDataHome(), home.DataHome());
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(XdgDataHome(), home.Path() + "/.local/share");
}

TEST(FileAssociation, ProgramPathIsQuotedForTheDesktopEntry) {
  EXPECT_EQ(DesktopExecQuote("/a b/q"), "\"/a b/q\"");
  // ", `, $ and \ take a backslash inside the quotes, which the entry's own
  // string syntax doubles; % is doubled.
  EXPECT_EQ(DesktopExecQuote("/x\"y`z$w\\v"), "\"/x\\\\\"y\\\\`z\\\\$w\\\\\\\\v\"");
  EXPECT_EQ(DesktopExecQuote("/100%/q"), "\"/100%%/q\"");
  EXPECT_EQ(DesktopExecQuote("/a\nb"), "\"/a\\nb\"");
}

TEST(StartUp, CommandLineMakesANewSetOrOpensTheNamedOneAndAFailureEndsIt) {
  CTestHome home;
  {
    CQuarrixDocManager manager;
    CreateSetTemplate(&manager, nullptr);
    ASSERT_TRUE(ProcessCommandLine(manager, false, wxString()));
    ASSERT_TRUE(manager.GetDocument());
    EXPECT_EQ(manager.GetDocument()->GetSetName(), "新しいカタログセット");
  }
  {
    CRootFileInfo set("x");
    ASSERT_EQ(WriteSetFile(home.File("disks.fcf"), set), ESetFileError::None);
    CQuarrixDocManager manager;
    CreateSetTemplate(&manager, nullptr);
    ASSERT_TRUE(ProcessCommandLine(manager, true, wxString::FromUTF8(home.File("disks.fcf"))));
    EXPECT_EQ(manager.GetDocument()->GetSetName(), "disks カタログセット");
  }
  {
    WriteTextFile(home.File("broken.fcf"), "not a set");
    CQuarrixDocManager manager;
    CreateSetTemplate(&manager, nullptr);
    bool started = true;
    wxTEST_DIALOG(started = ProcessCommandLine(manager, true, wxString::FromUTF8(home.File("broken.fcf"))),
                  CExpectMessageBox("予期しないﾌｧｲﾙ形式です。"));
    EXPECT_FALSE(started);
    EXPECT_FALSE(manager.GetDocument());
  }
}

TEST(StartUp, AFileArgumentThatIsNotUtf8NamesThatFile) {
  CTestHome home;
  const std::string path = home.File("caf\xe9.fcf");
  CRootFileInfo set("x");
  ASSERT_EQ(WriteSetFile(path, set), ESetFileError::None);
  {
    CQuarrixDocManager manager;
    CreateSetTemplate(&manager, nullptr);
    ASSERT_TRUE(ProcessCommandLine(manager, true, WxFromPath(path)));
    EXPECT_EQ(PathFromWx(manager.GetDocument()->GetFilename()), path);
    EXPECT_EQ(manager.GetDocument()->GetSetName(), "caf\uFFFD カタログセット");
    EXPECT_EQ(Utf8(manager.GetDocument()->GetTitle()), "caf\uFFFD.fcf");
  }
  CQuarrixDocManager manager;
  CreateSetTemplate(&manager, nullptr);
  bool started = true;
  wxTEST_DIALOG(started = ProcessCommandLine(manager, true, WxFromPath(home.File("gone\xff.fcf"))),
                CExpectMessageBox("ファイル " + home.File("gone\uFFFD.fcf") + " が見つかりません。"));
  EXPECT_FALSE(started);
}

TEST(StartUp, VersionAndHelpNeedNoWindow) {
  const auto run = [](const char* option) {
    std::FILE* program = popen((std::string("DISPLAY= " QUARRIX_PROGRAM_PATH " ") + option).c_str(), "r");
    std::string out;
    if (!program) return out;
    char line[256];
    while (std::fgets(line, sizeof line, program)) out += line;
    EXPECT_EQ(pclose(program), 0) << option;
    return out;
  };
  const std::string version = run("--version");
  EXPECT_EQ(version.rfind("quarrix ", 0), 0u) << version;
  EXPECT_GT(version.size(), std::string("quarrix \n").size());
  EXPECT_EQ(run("--help").rfind("使い方: quarrix [カタログセット]\n", 0), 0u);
}

// The framework would answer an unknown option in English.
TEST(StartUp, AnUnknownOptionIsRefusedInJapanese) {
  EXPECT_EQ(UnknownOptionMessage({"a.fcf", "--verbose", "-", "--", "--set.fcf"}), "");
  const std::string message = "quarrix: 不明なオプションです: --bogus\n" + std::string(kUsageText);
  EXPECT_EQ(UnknownOptionMessage({"a.fcf", "--bogus", "-x"}), message);
  const CTestHome home;  // should it start after all, its settings go here
  std::FILE* program = popen("timeout 60 " QUARRIX_PROGRAM_PATH " --bogus 2>&1", "r");
  ASSERT_TRUE(program);
  std::string out;
  char line[256];
  while (std::fgets(line, sizeof line, program)) out += line;
  const int status = pclose(program);
  EXPECT_EQ(out, message);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
}

TEST(StartUp, IdleRefreshGivesTheActiveViewsTextToTheStatusBar) {
  CTestHome home;
  CQuarrixDocManager manager;
  CreateSetTemplate(&manager, CLASSINFO(CRecordingView));
  ASSERT_TRUE(manager.CreateDocument(wxString(), wxDOC_NEW));
  auto* view = static_cast<CRecordingView*>(manager.GetDocument()->GetFirstView());

  auto* frame = new wxFrame(nullptr, wxID_ANY, "t");
  frame->CreateStatusBar();
  view->SetFrame(frame);
  RefreshStatusText(manager);  // no active view yet
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "");

  manager.ActivateView(view);
  view->m_strStatus = wxString::FromUTF8("3 個のオブジェクトを選択");
  RefreshStatusText(manager);
  EXPECT_EQ(Utf8(frame->GetStatusBar()->GetStatusText(0)), "3 個のオブジェクトを選択");

  manager.ActivateView(view, false);
  view->SetFrame(nullptr);
  frame->Destroy();
}

TEST(HelpContents, ManualNextToTheProgramAndEveryFailureSaysSo) {
  EXPECT_EQ(ManualPathFor("/opt/q/quarrix"), "/opt/q/Manual/index.htm");
  EXPECT_EQ(ManualPathFor("quarrix"), "");
  EXPECT_EQ(InstalledManualPathFor("/usr/bin/quarrix"), "/usr/share/quarrix/Manual/index.htm");
  EXPECT_EQ(InstalledManualPathFor("/opt/q/quarrix"), "");

  wxTEST_DIALOG(OpenManualWith(nullptr, "/opt/q/quarrix", nullptr),
                CExpectMessageBox("デフォルトのブラウザが指定されていません"));

  GAppInfo* browser = g_app_info_create_from_commandline("true %f", "true", G_APP_INFO_CREATE_NONE, nullptr);
  ASSERT_TRUE(browser);
  // No folder to find the manual in.
  wxTEST_DIALOG(OpenManualWith(browser, "quarrix", nullptr), CExpectMessageBox("ブラウザが開けませんでした"));
  OpenManualWith(browser, "/opt/q/quarrix", nullptr);  // starts without a message
  g_object_unref(browser);
}
