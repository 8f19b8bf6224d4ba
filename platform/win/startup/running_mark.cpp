// Compiled into every Windows program: a named mark that exists while one of
// them runs, by which the uninstaller finds a running program and asks for it
// to be closed first (it would otherwise keep its files and write its
// settings back at exit). The system drops the mark with the process.
#include <windows.h>

namespace {

struct CRunningMark {
  CRunningMark() { CreateMutexW(nullptr, FALSE, L"Quarrix.Running"); }
} g_runningMark;

}  // namespace
