#pragma once
// Ctrl+C and SIGTERM stop the long commands cleanly: the handlers only set a
// flag, which scans and saves poll, so the set file stays as it was and no
// temporary file is left; the command then exits 128 + the signal's number.
// A one-line progress on a terminal goes with them.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "model/scan.h"
#include "model/scan_progress.h"

// Installs the handlers; from then on StopFlag() turns true at the signal.
void CatchStopSignals();
const std::atomic<bool>& StopFlag();
// True when a signal came; reports it on stderr once.
bool Stopped();
// 130 for SIGINT, 143 for SIGTERM.
int StopExitStatus();

// Shows progress's line on stderr while it lives, at most ten times a
// second, when enabled and stderr is a terminal; the line is cleared at the end.
class CProgressLine {
 public:
  CProgressLine(CScanProgress& progress, bool enabled);
  ~CProgressLine();
  CProgressLine(const CProgressLine&) = delete;
  CProgressLine& operator=(const CProgressLine&) = delete;

 private:
  void Run();

  CScanProgress& m_progress;
  std::atomic<bool> m_bDone{false};
  std::thread m_thread;
};

// Runs scan with a progress sink and the stop flag added to options, the
// progress line on stderr unless quiet.
EScanStatus ScanShowingProgress(CScanOptions options, bool quiet,
                                const std::function<EScanStatus(const CScanOptions& options)>& scan);

// line shortened from the left of its tail to columns terminal columns
// (wide characters count two), "…" marking the cut.
std::string FitToColumns(const std::string& head, const std::string& tail, std::size_t columns);
