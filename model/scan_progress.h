#pragma once
// How a scan is asked to go and to stop, and its progress as a line of text.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/scan_counts.h"

// How far a scan goes, and who watches it. The default keeps to one medium:
// links to folders are recorded, not followed, and other file systems mounted
// below the chosen place are recorded as empty folders.
struct CScanOptions {
  bool bFollowLinks = false;
  bool bCrossFileSystems = false;
  CScanProgress* pProgress = nullptr;
  // Polled between entries; once true the scan stops as soon as it can.
  const std::atomic<bool>* pCancel = nullptr;
  // Threads reading folders at once; 0 for the place's default.
  int nThreads = 0;
  // Entries left out: a pattern without "/" is matched (with * and ?)
  // against each entry's name, one with "/" against its path relative to the
  // place scanned.
  std::vector<std::string> excludes;
  // Take every file's content fingerprint after the walk.
  bool bHashContents = false;
  // Files read at once for their fingerprints; 0 for the machine's default.
  int nHashThreads = 0;
  // List the members of archives after the walk, of archives inside them
  // to this depth (1: only the archives' own members); 0 lists none.
  int nArchiveDepth = 0;

  bool Cancelled() const { return pCancel != nullptr && pCancel->load(std::memory_order_relaxed); }
};

// One line for a status display: folders, files, total size and the time
// taken so far, such as "フォルダ 12 / ファイル 3,456 / 789MB / 0:05".
std::string ScanProgressLine(const CScanCounts& counts, std::uint64_t seconds);
