// Measures opening a large set in the window (default 1,000,000 files, the
// set bench_set_file uses): reading the file, building the tree's top level
// and filling and drawing the list of the node the window selects. The
// tree's 200 ms settle delay is a deliberate pause, not work, and is left
// out. Needs a display: run it under xvfb-run.
//
//   gui_bench_open [FILES [ROUNDS]]   (default 1,000,000 files, 3 rounds)

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/listctrl.h>
#include <wx/treectrl.h>

#include "bench/bench_set_builder.h"
#include "bench/gui_bench_window.h"
#include "model/set_file.h"

namespace {

// This process's processor time (the X server's drawing is not in it).
double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// The set's files, removed however the benchmark ends.
struct CSetCopies {
  std::string paths[2];
  ~CSetCopies() {
    for (const std::string& path : paths)
      if (!path.empty()) unlink(path.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::size_t files = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  // Two copies: opening the file the window already shows does nothing.
  CSetCopies copies;
  for (std::string& path : copies.paths) {
    char name[] = "/tmp/quarrix-bench-open-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return 1;
    close(fd);
    path = name;
  }
  {
    std::size_t items = 0;
    auto set = BuildBenchSet(files, items);
    for (const std::string& path : copies.paths)
      if (WriteSetFile(path, *set) != ESetFileError::None) return 1;
    std::printf("set of %zu files, %zu items\n", files, items);
  }

  CBenchWindow window;
  if (!window.Open(argv, "gui_bench_open")) return 2;
  CExplorerApDoc* doc = window.Doc();
  CLeftView* tree = window.Tree();
  wxListCtrl* list = window.List()->GetListCtrl();
  tree->SettleSelection();
  wxTheApp->Yield();

  for (int round = 0; round < rounds; ++round) {
    const std::string& path = copies.paths[round % 2];
    auto start = CBenchClock::now();
    std::unique_ptr<CRootFileInfo> alone;
    if (ReadSetFile(path, alone) != ESetFileError::None) return 1;
    const double loadOnly = MillisecondsSince(start);
    start = CBenchClock::now();
    alone.reset();
    const double freeOnly = MillisecondsSince(start);

    // From an empty window the first time, then replacing the set shown.
    const double cpuStart = CpuMilliseconds();
    start = CBenchClock::now();
    if (!doc->OnOpenDocument(wxString::FromUTF8(path))) return 1;
    tree->SettleSelection();
    tree->GetTreeCtrl()->Update();
    list->Update();
    const double open = MillisecondsSince(start);
    std::printf("open %d: %.0f ms, processor %.0f ms (%d list rows); reading alone %.0f ms, freeing a set %.0f ms\n",
                round + 1, open, CpuMilliseconds() - cpuStart, list->GetItemCount(), loadOnly, freeOnly);
  }
  return 0;
}
