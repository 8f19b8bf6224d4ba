// Measures opening a large set in the window (default 1,000,000 files, the
// set bench_set_file uses): reading the file, building the tree's top level
// and filling and drawing the list of the node the window selects. The
// tree's 200 ms settle delay is a deliberate pause, not work, and is left
// out. Needs a display: run it under xvfb-run.
//
//   gui_bench_open [FILES [ROUNDS]]   (default 1,000,000 files, 3 rounds)

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/treectrl.h>

#include "bench/bench_set_builder.h"
#include "document/doc_manager.h"
#include "document/doc_template.h"
#include "document/explorer_ap_doc.h"
#include "model/set_file.h"
#include "ui/explorer_ap_view.h"
#include "ui/file_icon_cache.h"
#include "ui/left_view.h"
#include "ui/main_frame.h"

namespace {

using CClock = std::chrono::steady_clock;

double Milliseconds(CClock::time_point start) {
  return std::chrono::duration<double, std::milli>(CClock::now() - start).count();
}

// This process's processor time (the X server's drawing is not in it).
double CpuMilliseconds() {
  timespec now {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

class CBenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
  bool OnCmdLineParsed(wxCmdLineParser&) override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t files = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  // Two copies: opening the file the window already shows does nothing.
  std::string paths[2];
  for (std::string& path : paths) {
    char name[] = "/tmp/quarrix-bench-open-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return 1;
    close(fd);
    path = name;
  }
  {
    std::size_t items = 0;
    auto set = BuildBenchSet(files, items);
    for (const std::string& path : paths)
      if (WriteSetFile(path, *set) != ESetFileError::None) return 1;
    std::printf("set of %zu files, %zu items\n", files, items);
  }

  wxApp::SetInstance(new CBenchApp);
  int wxArgc = 1;
  if (!wxEntryStart(wxArgc, argv) || !wxTheApp->CallOnInit()) {
    std::fprintf(stderr, "gui_bench_open: no display (run under xvfb-run)\n");
    return 2;
  }
  {
    CQuarrixDocManager manager;
    CreateSetTemplate(&manager, CLASSINFO(CLeftView));
    auto* frame = new CMainFrame(&manager);
    frame->Show();
    auto* doc = static_cast<CExplorerApDoc*>(manager.CreateDocument(wxString(), wxDOC_NEW));
    CLeftView* tree = frame->GetLeftPane();
    wxListCtrl* list = frame->GetRightPane()->GetListCtrl();
    tree->SettleSelection();
    wxTheApp->Yield();

    for (int round = 0; round < rounds; ++round) {
      const std::string& path = paths[round % 2];
      auto start = CClock::now();
      std::unique_ptr<CRootFileInfo> alone;
      if (ReadSetFile(path, alone) != ESetFileError::None) return 1;
      const double loadOnly = Milliseconds(start);
      start = CClock::now();
      alone.reset();
      const double freeOnly = Milliseconds(start);

      // From an empty window the first time, then replacing the set shown.
      const double cpuStart = CpuMilliseconds();
      start = CClock::now();
      if (!doc->OnOpenDocument(wxString::FromUTF8(path))) return 1;
      tree->SettleSelection();
      tree->GetTreeCtrl()->Update();
      list->Update();
      const double open = Milliseconds(start);
      std::printf("open %d: %.0f ms, processor %.0f ms (%d list rows); reading alone %.0f ms, freeing a set %.0f ms\n",
                  round + 1, open, CpuMilliseconds() - cpuStart, list->GetItemCount(), loadOnly, freeOnly);
    }

    doc->Modify(false);
    manager.Clear(true);
    frame->Destroy();
    wxTheApp->ProcessIdle();
  }
  CFileIconCache::Destroy();
  wxTheApp->OnExit();
  wxEntryCleanup();
  for (const std::string& path : paths) unlink(path.c_str());
  return 0;
}
