#pragma once
// The application object: start-up, the settings, the about box, idle-time
// status text, and exit.

#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>

class CAppSettings;
class CQuarrixDocManager;
class CSettingsStore;
class wxDocManager;

class CExplorerApApp : public wxApp {
 public:
  CExplorerApApp();
  ~CExplorerApApp() override;

  // Without a display: the Japanese message instead of wx's English one.
  bool Initialize(int& argc, wxChar** argv) override;
  // Start-up: settings file, recent files, settings object, document
  // template, desktop registration of the document type, then the command
  // line (no argument: a new set; one: open that set). Failure of the
  // command line ends the program after its message.
  bool OnInit() override;
  // Without a main window there is nothing to run once start-up is done.
  int OnRun() override;
  // Stores the recent files, then releases the settings and the documents.
  int OnExit() override;
  void OnInitCmdLine(wxCmdLineParser& parser) override;
  bool OnCmdLineParsed(wxCmdLineParser& parser) override;

  CAppSettings* GetSettings() const { return m_pSettings.get(); }
  CQuarrixDocManager* GetDocManager() const { return m_pDocManager.get(); }

  // The program's version ("1.2.0.0"); the about box shows it.
  void SetProductVersion(std::string version) { m_strProductVersion = std::move(version); }
  const std::string& GetProductVersion() const { return m_strProductVersion; }

 private:
  void OnAppAbout(wxCommandEvent& event);
  void OnFileNew(wxCommandEvent& event);
  void OnFileOpen(wxCommandEvent& event);
  void OnIdle(wxIdleEvent& event);
  // Logout: the window's layout is kept and the program ends.
  void OnEndSession(wxCloseEvent& event);

  std::unique_ptr<CSettingsStore> m_pSettingsStore;
  std::unique_ptr<CQuarrixDocManager> m_pDocManager;
  std::unique_ptr<CAppSettings> m_pSettings;
  std::string m_strProductVersion;
  wxString m_strFileArg;
  bool m_bHasFileArg = false;
  int m_nPreviewPages = 0;
  int m_nIdleCount = 0;

  wxDECLARE_EVENT_TABLE();
};

// Runs the program made by wxIMPLEMENT_APP_NO_MAIN: wx's entry, except that
// a start without a display ends with status 1, and one with an option the
// program does not know with status 2.
int RunApplication(int argc, wxChar** argv);

// What --help prints.
inline constexpr char kUsageText[] =
    "使い方: quarrix [カタログセット]\n"
    "  カタログセットを指定すると開き、省略すると新しいカタログセットで始めます。\n"
    "  --version  バージョンを表示して終了します\n"
    "  --help     この説明を表示して終了します\n";

// The message for the first option among args (those after the program's
// name) that the program does not know, with the usage; empty when all are
// known. The framework would answer in English.
std::string UnknownOptionMessage(const std::vector<std::string>& args);

// Start-up's command line: hasFile false makes a new set, else opens file.
// False when that failed.
bool ProcessCommandLine(wxDocManager& manager, bool hasFile, const wxString& file);

// Gives the main frame's status bar the active view's status text.
void RefreshStatusText(wxDocManager& manager);
