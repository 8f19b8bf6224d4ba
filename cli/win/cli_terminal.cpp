// The console's Ctrl+C and Ctrl+Break stop the long commands as SIGINT does
// elsewhere.
#include "cli/cli_terminal.h"

#include <signal.h>

#include "cli/cli_stop.h"

#include <windows.h>

namespace {

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT: NoteStopSignal(SIGINT); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

std::size_t TerminalColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) && info.srWindow.Right > info.srWindow.Left)
    return std::size_t(info.srWindow.Right - info.srWindow.Left + 1);
  return 80;
}

void CatchStopSignals() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
