#pragma once
// The main window with an empty new set, as the GUI benchmarks drive it.
// Needs a display: run the benchmarks under xvfb-run.

#include <chrono>
#include <cstdio>
#include <memory>

#include <wx/app.h>
#include <wx/init.h>

#include "document/doc_manager.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "ui/explorer_ap_view.h"
#include "ui/file_icon_cache.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

using CBenchClock = std::chrono::steady_clock;

inline double MillisecondsSince(CBenchClock::time_point start) {
  return std::chrono::duration<double, std::milli>(CBenchClock::now() - start).count();
}

class CBenchWindow {
 public:
  // Opens the window; false (after saying so) when there is no display.
  bool Open(char** argv, const char* program) {
    wxApp::SetInstance(new CApp);
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
      std::fprintf(stderr, "%s: no display (run under xvfb-run)\n", program);
      return false;
    }
    m_pManager = std::make_unique<CQuarrixDocManager>();
    CreateSetTemplate(m_pManager.get(), CLASSINFO(CLeftView));
    m_pFrame = new CMainFrame(m_pManager.get());
    m_pFrame->Show();
    m_pDoc = static_cast<CExplorerApDoc*>(m_pManager->CreateDocument(wxString(), wxDOC_NEW));
    return true;
  }

  ~CBenchWindow() {
    if (!m_pManager) return;
    m_pDoc->Modify(false);
    m_pManager->Clear(true);
    m_pFrame->Destroy();
    wxTheApp->ProcessIdle();
    m_pManager.reset();
    CFileIconCache::Destroy();
    wxTheApp->OnExit();
    wxEntryCleanup();
  }

  CExplorerApDoc* Doc() const { return m_pDoc; }
  CLeftView* Tree() const { return m_pFrame->GetLeftPane(); }
  CExplorerApView* List() const { return m_pFrame->GetRightPane(); }

 private:
  class CApp : public wxApp {
   public:
    bool OnInit() override { return true; }
    bool OnCmdLineParsed(wxCmdLineParser&) override { return true; }
  };

  std::unique_ptr<CQuarrixDocManager> m_pManager;
  CMainFrame* m_pFrame = nullptr;
  CExplorerApDoc* m_pDoc = nullptr;
};
