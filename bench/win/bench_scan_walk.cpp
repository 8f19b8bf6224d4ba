// Windows (and Wine): times a scan of a folder into a catalog against the
// bare walk the system allows, FindFirstFileExW down every folder, alone on
// one thread. The scan reads what the catalog needs and no more when the
// ratio stays near 1 (the aim is at most 1.3); the scan's folder reader alone
// is timed too, to tell the system's part from the catalog's. Rounds
// alternate, warm cache, best of each.
//
//   bench_scan_walk FOLDER [ROUNDS] [--threads=N]   (e.g. Z:\usr; 3 rounds)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "model/drive_file_info.h"
#include "model/scan.h"
#include "platform/dir_reader.h"
#include "platform/folder_id.h"
#include "platform/win/win_text.h"

#include <windows.h>

namespace {

using CClock = std::chrono::steady_clock;

double SecondsSince(CClock::time_point start) { return std::chrono::duration<double>(CClock::now() - start).count(); }

struct CWalkCounts {
  std::uint64_t nFolders = 0;
  std::uint64_t nFiles = 0;
};

// The bare walk: each folder listed once, links and junctions not entered.
void Walk(const std::wstring& folder, CWalkCounts& counts) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoStandard, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      ++counts.nFiles;
      continue;
    }
    ++counts.nFolders;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) Walk(folder + L"\\" + data.cFileName, counts);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// The same walk through the scan's own folder reader (open, identify, list,
// close), without the catalog: what the platform layer costs.
void ListerWalk(CFolderLister& lister, int folder, CWalkCounts& counts) {
  CFolderId id;
  std::vector<CDirEntry> entries;
  if (!ReadFolderId(folder, id) || !lister.ReadEntries(folder, entries)) return;
  for (const CDirEntry& entry : entries) {
    const std::uint32_t attributes = entry.record.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      ++counts.nFiles;
      continue;
    }
    ++counts.nFolders;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    const int child = lister.OpenFolder(folder, entry.strRawName);
    if (child < 0) continue;
    ListerWalk(lister, child, counts);
    lister.CloseFolder(child);
  }
}

void CountCatalog(const CFileInfo& item, CWalkCounts& counts) {
  if (!item.IsContainer()) {
    ++counts.nFiles;
    return;
  }
  for (const auto& child : static_cast<const CFolderFileInfo&>(item).Children()) {
    if (child->IsContainer()) ++counts.nFolders;
    CountCatalog(*child, counts);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  int rounds = 3;
  CScanOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--threads=", 10) == 0)
      options.nThreads = std::atoi(argv[i] + 10);
    else if (folder.empty())
      folder = argv[i];
    else
      rounds = std::max(1, std::atoi(argv[i]));
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: bench_scan_walk FOLDER [ROUNDS] [--threads=N]\n");
    return 2;
  }
  const std::wstring wide = LiteralWidePath(folder);
  double bestWalk = 1e9, bestLister = 1e9, bestScan = 1e9;
  CWalkCounts walked, listed, scanned;
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms the cache
    walked = CWalkCounts();
    CClock::time_point start = CClock::now();
    Walk(wide, walked);
    if (round > 0) bestWalk = std::min(bestWalk, SecondsSince(start));

    listed = CWalkCounts();
    CFolderLister lister;
    start = CClock::now();
    const int root = lister.OpenFolder(AT_FDCWD, folder);
    if (root >= 0) {
      ListerWalk(lister, root, listed);
      lister.CloseFolder(root);
    }
    if (round > 0) bestLister = std::min(bestLister, SecondsSince(start));

    std::unique_ptr<CDriveFileInfo> catalog;
    std::string message;
    start = CClock::now();
    if (ScanCatalog("bench", {folder}, options, catalog, message) != EScanStatus::Done || catalog == nullptr) {
      std::fprintf(stderr, "the scan failed: %s\n", message.c_str());
      return 1;
    }
    if (round > 0) bestScan = std::min(bestScan, SecondsSince(start));
    scanned = CWalkCounts();
    CountCatalog(*catalog, scanned);
  }
  std::printf("folders %llu, files %llu (scan: %llu, %llu)\n", (unsigned long long)walked.nFolders,
              (unsigned long long)walked.nFiles, (unsigned long long)scanned.nFolders,
              (unsigned long long)scanned.nFiles);
  std::printf("bare walk %.2f s, the scan's reader alone %.2f s (%.2f), scan %.2f s, ratio %.2f (aim: at most 1.30)\n",
              bestWalk, bestLister, bestLister / bestWalk, bestScan, bestScan / bestWalk);
  return 0;
}
