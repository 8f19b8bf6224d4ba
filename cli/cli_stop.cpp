#include "cli/cli_stop.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <system_error>

#include "cli/cli_common.h"
#include "cli/cli_terminal.h"
#include "model/content_hashing.h"
#include "platform/thread_start.h"

namespace {

std::atomic<bool> g_bStop{false};
std::atomic<int> g_nSignal{0};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "set from a signal handler");

// Columns of one UTF-8 sequence starting with lead: two for what is not
// ASCII, which covers the kana and kanji of names (and errs wide elsewhere).
std::size_t Columns(unsigned char lead) { return lead < 0x80 ? 1 : 2; }

}  // namespace

void NoteStopSignal(int signal) {
  g_nSignal.store(signal);
  g_bStop.store(true);
}

const std::atomic<bool>& StopFlag() { return g_bStop; }

bool Stopped() {
  if (!g_bStop.load()) return false;
  static bool reported = false;
  if (!reported) ReportError("中断しました。カタログセットは変更されていません");
  reported = true;
  return true;
}

int StopExitStatus() { return 128 + (g_nSignal.load() != 0 ? g_nSignal.load() : SIGINT); }

std::string FitToColumns(const std::string& head, const std::string& tail, std::size_t columns) {
  std::size_t used = 0;
  for (const char c : head)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) used += Columns(static_cast<unsigned char>(c));
  std::size_t tailColumns = 0;
  for (const char c : tail)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) tailColumns += Columns(static_cast<unsigned char>(c));
  if (used + tailColumns <= columns) return head + tail;
  if (used + 2 > columns) return head;
  // Keep the end of the tail: the deepest folders say most.
  std::size_t room = columns - used - 2;  // "…" may be wide
  std::size_t start = tail.size();
  std::size_t kept = 0;
  while (start > 0) {
    std::size_t lead = start - 1;
    while (lead > 0 && (static_cast<unsigned char>(tail[lead]) & 0xC0) == 0x80) --lead;
    const std::size_t width = Columns(static_cast<unsigned char>(tail[lead]));
    if (kept + width > room) break;
    kept += width;
    start = lead;
  }
  return head + "…" + tail.substr(start);
}

CProgressLine::CProgressLine(CScanProgress& progress, bool enabled) : m_progress(progress) {
  if (!enabled || !isatty(STDERR_FILENO)) return;
  try {
    m_thread = StartThread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread to spare: the work goes on without the line.
  }
}

CProgressLine::~CProgressLine() {
  if (!m_thread.joinable()) return;
  m_bDone.store(true);
  m_thread.join();
  WriteErr("\r\x1b[K");
}

void CProgressLine::Run() {
  using CClock = std::chrono::steady_clock;
  const auto start = CClock::now();
  std::optional<CClock::time_point> hashStart;
  while (!m_bDone.load()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (m_bDone.load()) break;
    const auto now = CClock::now();
    const auto seconds = std::uint64_t(std::chrono::duration_cast<std::chrono::seconds>(now - start).count());
    std::string line;
    if (m_progress.Hashing()) {
      if (!hashStart) hashStart = now;
      const std::chrono::duration<double> hashing = now - *hashStart;
      line =
          FitToColumns(HashProgressLine(m_progress.HashCounts(), hashing.count(), seconds), "", TerminalColumns() - 1);
    } else {
      line = FitToColumns(ScanProgressLine(m_progress.Counts(), seconds) + " ", LineText(m_progress.CurrentFolder()),
                          TerminalColumns() - 1);
    }
    WriteErr("\r" + line + "\x1b[K");
    std::fflush(stderr);
  }
}

EScanStatus ScanShowingProgress(CScanOptions options, bool quiet,
                                const std::function<EScanStatus(const CScanOptions& options)>& scan) {
  CScanProgress progress;
  options.pProgress = &progress;
  options.pCancel = &StopFlag();
  CProgressLine line(progress, !quiet);
  return scan(options);
}
