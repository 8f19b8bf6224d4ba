#include "platform/process_running.h"

#include <windows.h>

bool IsProcessRunning(std::int64_t pid) {
  if (pid <= 0 || pid > std::int64_t(MAXDWORD)) return false;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;  // someone else's
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

std::int64_t CurrentProcessId() { return GetCurrentProcessId(); }
