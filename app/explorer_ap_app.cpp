#include "app/explorer_ap_app.h"

#include <cstdio>

#include <wx/cmdline.h>
#include <wx/config.h>
#include <wx/log.h>
#include <wx/frame.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>

#include "document/member_opener.h"
#include "document/about_dlg.h"
#include "document/app_settings.h"
#include "document/doc_manager.h"
#include "document/doc_template.h"
#include "document/file_association.h"
#include "app/framework_texts.h"
#include "document/settings_file.h"
#include "document/status_text_source.h"
#include "document/window_layout.h"
#include "ui/file_icon_cache.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

wxBEGIN_EVENT_TABLE(CExplorerApApp, wxApp)
  EVT_MENU(wxID_ABOUT, CExplorerApApp::OnAppAbout)
  EVT_MENU(wxID_NEW, CExplorerApApp::OnFileNew)
  EVT_MENU(wxID_OPEN, CExplorerApApp::OnFileOpen)
  EVT_IDLE(CExplorerApApp::OnIdle)
  EVT_END_SESSION(CExplorerApApp::OnEndSession)
wxEND_EVENT_TABLE()

namespace {

bool g_bNoDisplay = false;
bool g_bUnknownOption = false;

}  // namespace

CExplorerApApp::CExplorerApApp() = default;
CExplorerApApp::~CExplorerApApp() = default;

bool ProcessCommandLine(wxDocManager& manager, bool hasFile, const wxString& file) {
  if (hasFile && file.empty()) return false;
  return manager.CreateDocument(hasFile ? file : wxString(), hasFile ? wxDOC_SILENT : wxDOC_NEW) != nullptr;
}

void RefreshStatusText(wxDocManager& manager) {
  wxView* view = manager.GetCurrentView();
  auto* source = dynamic_cast<CStatusTextSource*>(view);
  if (!source) return;
  wxString text;
  if (!source->GetStatusText(text)) return;
  wxFrame* frame = nullptr;
  if (wxWindow* window = view->GetFrame()) frame = wxDynamicCast(wxGetTopLevelParent(window), wxFrame);
  if (!frame && wxTheApp) frame = wxDynamicCast(wxTheApp->GetTopWindow(), wxFrame);
  if (!frame || !frame->GetStatusBar()) return;
  // Only a change is written, so an idle program does not keep repainting.
  if (frame->GetStatusBar()->GetStatusText(0) != text) frame->SetStatusText(text, 0);
}

int RunApplication(int argc, wxChar** argv) {
  const int code = wxEntry(argc, argv);
  return g_bNoDisplay ? 1 : g_bUnknownOption ? 2 : code;
}

std::string UnknownOptionMessage(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") break;
    // "--verbose" is the framework's own; "-" alone is a name.
    if (arg.size() < 2 || arg[0] != '-' || arg == "--verbose") continue;
    return "quarrix: 不明なオプションです: " + arg + "\n" + kUsageText;
  }
  return {};
}

bool CExplorerApApp::Initialize(int& argc, wxChar** argv) {
  {
    wxLogNull quiet;  // wx's own message is English
    if (wxApp::Initialize(argc, argv)) return true;
  }
  g_bNoDisplay = true;
  std::fputs(kNoDisplayMessage, stderr);
  return false;
}

void CExplorerApApp::OnInitCmdLine(wxCmdLineParser& parser) {
  wxApp::OnInitCmdLine(parser);
  parser.AddParam(wxString::FromUTF8("カタログセット"), wxCMD_LINE_VAL_STRING, wxCMD_LINE_PARAM_OPTIONAL);
}

bool CExplorerApApp::OnCmdLineParsed(wxCmdLineParser& parser) {
  if (!wxApp::OnCmdLineParsed(parser)) return false;
  m_bHasFileArg = parser.GetParamCount() > 0;
  if (m_bHasFileArg) m_strFileArg = parser.GetParam(0);
  return true;
}

bool CExplorerApApp::OnInit() {
  // Settings live in Quarrix.conf under the desktop's configuration folder.
  SetVendorName("Kestrane Soft");
  SetAppName("Quarrix");
  SetAppDisplayName("Quarrix");
  // Before anything can show or log a framework text.
  UseJapaneseFrameworkTexts();
  // The toolkit has taken its own options out of argv by now.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i].utf8_string());
  if (const std::string message = UnknownOptionMessage(args); !message.empty()) {
    std::fputs(message.c_str(), stderr);
    g_bUnknownOption = true;
    return false;
  }
  if (!wxApp::OnInit()) return false;
  // Copies of members that a killed run left behind.
  RemoveLeftMemberCopies();

  // The program keeps its settings file itself; the library must not make a
  // second writer of it on demand.
  wxConfigBase::DontCreateOnDemand();
  m_pSettingsStore = OpenSettingsFile();
  SetSettingsStore(m_pSettingsStore.get());

  m_pDocManager = std::make_unique<CQuarrixDocManager>();
  LoadRecentFileList(*m_pSettingsStore, *m_pDocManager->GetFileHistory());
  m_nPreviewPages = LoadPreviewPages(*m_pSettingsStore);

  m_pSettings = std::make_unique<CAppSettings>(*m_pSettingsStore);
  SetAppSettings(m_pSettings.get());
  SetIconIndexSource([]() -> CIconIndexSource& { return CFileIconCache::Get(); });

  // The template makes the tree view, which builds both panes in the main
  // frame; the frame must exist before the first document.
  CreateSetTemplate(m_pDocManager.get(), CLASSINFO(CLeftView));

  RegisterDocumentType(XdgDataHome(), wxStandardPaths::Get().GetExecutablePath().utf8_string());

  auto* frame = new CMainFrame(m_pDocManager.get());
  SetTopWindow(frame);
  if (!ProcessCommandLine(*m_pDocManager, m_bHasFileArg, m_strFileArg)) {
    frame->Destroy();
    return false;
  }
  // The layout of the last run, over the first set's fresh columns.
  frame->ApplyWindowLayout(LoadWindowLayout(*m_pSettingsStore));
  frame->Show();
  frame->Update();
  return true;
}

int CExplorerApApp::OnRun() {
  if (!GetTopWindow()) return 0;
  return wxApp::OnRun();
}

int CExplorerApApp::OnExit() {
  if (m_pSettingsStore) {
    SavePreviewPages(*m_pSettingsStore, m_nPreviewPages);
    if (m_pDocManager) SaveRecentFileList(*m_pSettingsStore, *m_pDocManager->GetFileHistory());
    m_pSettingsStore->Flush();
  }
  SetAppSettings(nullptr);
  m_pSettings.reset();
  m_pDocManager.reset();
  SetSettingsStore(nullptr);
  m_pSettingsStore.reset();
  SetIconIndexSource(nullptr);
  CFileIconCache::Destroy();
  RemoveMemberCopies();
  return wxApp::OnExit();
}

void CExplorerApApp::OnAppAbout(wxCommandEvent&) {
  CAboutDlg dialog(GetTopWindow(), m_strProductVersion);
  dialog.ShowModal();
}

void CExplorerApApp::OnFileNew(wxCommandEvent&) {
  if (m_pDocManager) m_pDocManager->CreateNewDocument();
}

void CExplorerApApp::OnFileOpen(wxCommandEvent&) {
  if (m_pDocManager) m_pDocManager->CreateDocument(wxString());
}

void CExplorerApApp::OnEndSession(wxCloseEvent&) { CMainFrame::EndSession(m_pDocManager.get()); }

void CExplorerApApp::OnIdle(wxIdleEvent& event) {
  event.Skip();
  // The first idle call of a quiet spell is the framework's; the second one
  // brings the status bar up to date, and then idle processing rests.
  if (m_nIdleCount == 0) {
    m_nIdleCount = 1;
    event.RequestMore();
    return;
  }
  m_nIdleCount = 0;
  if (m_pDocManager) RefreshStatusText(*m_pDocManager);
}
