#pragma once
// Files named after the process that made them (temporary saves, copies of
// opened members) are another's while it runs, and stale once it has ended.

#include <cstdint>

// True also for a process of another user, which may not be asked: its
// files are left alone.
bool IsProcessRunning(std::int64_t pid);
std::int64_t CurrentProcessId();
