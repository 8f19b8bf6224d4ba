#include "platform/process_running.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>

bool IsProcessRunning(std::int64_t pid) {
  if (pid <= 0 || pid != std::int64_t(pid_t(pid))) return false;
  return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

std::int64_t CurrentProcessId() { return ::getpid(); }
