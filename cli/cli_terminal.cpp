#include "cli/cli_terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/cli_stop.h"

namespace {

void OnStopSignal(int signal) { NoteStopSignal(signal); }

}  // namespace

std::size_t TerminalColumns() {
  struct winsize size {};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
