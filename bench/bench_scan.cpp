// Times scanning a large tree into a catalog and saving it against find
// reading the same attributes, both with a warm cache; the same scan with a
// progress sink and a cancel flag attached, watched ten times a second as a
// dialog would; the memory a scan holds at its peak against the finished
// catalog's; and scans where each folder read waits 1 ms, as on a network
// drive, with one reader and with several.
//
//   bench_scan [--threads=N] [PARENT_FOLDER]   (default: the place's default
//   number of readers; $TMPDIR or /tmp)

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "bench/bench_heap.h"
#include "bench/bench_temp_folder.h"
#include "model/root_file_info.h"
#include "model/scan.h"
#include "model/set_file.h"
#include "platform/heap_arenas.h"

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 100;
constexpr int kFilesPerFolder = 50;
constexpr int kRounds = 6;
constexpr int kDelayRounds = 2;
constexpr int kDelayThreads = 8;

int g_nThreads = 0;  // readers of the scans; 0 for the default

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of this process (all its threads) and of its finished
// children: on a busy machine it says more than the clock.
double CpuSeconds(bool children) {
  struct rusage usage {};
  getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}
double g_lastCpu = 0;  // processor time of the last timed run

bool BuildTree(const std::string& root) {
  char name[64];
  for (int t = 0; t < kTopFolders; ++t) {
    const std::string top = root + "/top" + std::to_string(t);
    if (mkdir(top.c_str(), 0755) != 0) return false;
    for (int s = 0; s < kSubFolders; ++s) {
      const std::string sub = top + "/folder_" + std::to_string(s);
      if (mkdir(sub.c_str(), 0755) != 0) return false;
      const int dir = open(sub.c_str(), O_RDONLY | O_DIRECTORY);
      if (dir < 0) return false;
      for (int f = 0; f < kFilesPerFolder; ++f) {
        std::snprintf(name, sizeof name, "document_%04d.txt", f);
        const int fd = openat(dir, name, O_WRONLY | O_CREAT, 0644);
        if (fd < 0) return false;
        if (ftruncate(fd, f * 37) != 0) return false;
        close(fd);
      }
      close(dir);
    }
  }
  return true;
}

// Scans root with the options' readers; with save, also writes the set to
// setPath, and the time is the two together.
double TimeScan(const std::string& root, std::size_t& items, bool watched, const std::string& setPath = {}) {
  CScanProgress progress;
  std::atomic<bool> cancel{false};
  CScanOptions options;
  options.nThreads = g_nThreads;
  if (watched) {
    options.pProgress = &progress;
    options.pCancel = &cancel;
  }
  std::atomic<bool> done{false};
  std::thread watcher;
  if (watched) {
    watcher = std::thread([&] {
      while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        progress.Counts();
        progress.CurrentFolder();
      }
    });
  }
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  const double cpuStart = CpuSeconds(false);
  const auto start = std::chrono::steady_clock::now();
  ScanCatalog("tree", {root}, options, catalog, message);
  items = catalog ? std::size_t(CountItemsBelow(*catalog)) : 0;
  if (!setPath.empty() && catalog) {
    CRootFileInfo set("bench");
    set.AppendCatalog(std::move(catalog), 0);
    if (WriteSetFile(setPath, set) != ESetFileError::None) std::fprintf(stderr, "saving failed\n");
  }
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  g_lastCpu = CpuSeconds(false) - cpuStart;
  done.store(true);
  if (watcher.joinable()) watcher.join();
  return seconds;
}

// Waits before each folder read, as a network drive's server would.
class CDelayedLister : public CFolderLister {
 public:
  bool ReadEntries(int fd, std::vector<CDirEntry>& out) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return CFolderLister::ReadEntries(fd, out);
  }
};

double TimeDelayedScan(const std::string& root, int threads) {
  CDelayedLister lister;
  CScanOptions options;
  options.nThreads = threads;
  auto catalog = std::make_unique<CDriveFileInfo>("tree", root, CMediumFacts());
  const auto start = std::chrono::steady_clock::now();
  ScanFolder(root, *catalog, lister, kScanOpenFolderBudget, options);
  return Seconds(std::chrono::steady_clock::now() - start);
}

// Resident memory gained while scanning, at the peak and with the finished
// catalog still held, and the catalog's heap bytes.
void MeasureMemory(const std::string& root, int threads) {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
  const long before = StatusKilobytes("VmRSS:");
  const std::size_t heapBefore = HeapInUse();
  CScanOptions options;
  options.nThreads = threads;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  ScanCatalog("tree", {root}, options, catalog, message);
  const long peak = StatusKilobytes("VmHWM:") - before;
  const long held = StatusKilobytes("VmRSS:") - before;
  const double heap = double(HeapInUse() - heapBefore) / 1024;
  std::printf("memory:   %d readers: peak %ld KB while scanning, %ld KB held after (%.0f KB heap): %.2fx\n", threads,
              peak, held, heap, double(peak) / double(held));
}

double TimeFind(const std::string& root) {
  const std::string command = "find '" + root + "' -printf '%s %T@ %A@\\n' > /dev/null";
  const double cpuStart = CpuSeconds(true);
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "find failed\n");
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  g_lastCpu = CpuSeconds(true) - cpuStart;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  LimitHeapArenas();  // as the programs do
  if (argc > 1 && std::strncmp(argv[1], "--threads=", 10) == 0) {
    g_nThreads = std::atoi(argv[1] + 10);
    --argc;
    ++argv;
  }
  const std::string root = MakeBenchFolder(argc, argv);
  if (root.empty()) return 1;
  const auto buildStart = std::chrono::steady_clock::now();
  const bool built = BuildTree(root);
  std::printf("built in %.2f s\n", Seconds(std::chrono::steady_clock::now() - buildStart));
  const std::string setPath = root + ".qrx";

  if (built) {
    // First, while the heap is fresh.
    MeasureMemory(root, g_nThreads > 0 ? g_nThreads : DefaultScanThreads(root));
    MeasureMemory(root, kDelayThreads);
    // Warm the cache with one run of each.
    std::size_t items = 0;
    TimeFind(root);
    TimeScan(root, items, false);
    double bestScan = 1e9, bestWatched = 1e9, bestFind = 1e9, bestSaved = 1e9;
    double worstScan = 0, worstSaved = 0, worstFind = 0, cpuSaved = 1e9, cpuFind = 1e9;
    // The order alternates so that neither kind always runs after the other.
    for (int round = 0; round < kRounds; ++round) {
      double scan = 0;
      if (round % 2 == 0) scan = TimeScan(root, items, false);
      bestWatched = std::min(bestWatched, TimeScan(root, items, true));
      if (round % 2 != 0) scan = TimeScan(root, items, false);
      const double saved = TimeScan(root, items, false, setPath);
      cpuSaved = std::min(cpuSaved, g_lastCpu);
      const double find = TimeFind(root);
      cpuFind = std::min(cpuFind, g_lastCpu);
      bestScan = std::min(bestScan, scan);
      worstScan = std::max(worstScan, scan);
      bestSaved = std::min(bestSaved, saved);
      worstSaved = std::max(worstSaved, saved);
      bestFind = std::min(bestFind, find);
      worstFind = std::max(worstFind, find);
    }
    std::printf("entries:  %zu (%d folders), readers: %d\n", items, kTopFolders * (kSubFolders + 1),
                g_nThreads > 0 ? g_nThreads : DefaultScanThreads(root));
    std::printf("scan:     %.3f s (best of %d; worst %.3f)\n", bestScan, kRounds, worstScan);
    std::printf("saved:    %.3f s (scan and save, best of %d; worst %.3f)\n", bestSaved, kRounds, worstSaved);
    std::printf("watched:  %.3f s (best of %d; progress sink and cancel flag attached)\n", bestWatched, kRounds);
    std::printf("find:     %.3f s (best of %d; worst %.3f)\n", bestFind, kRounds, worstFind);
    std::printf("ratio:    %.2f (scan / find)\n", bestScan / bestFind);
    std::printf("ratio:    %.2f (scan and save / find)\n", bestSaved / bestFind);
    std::printf("processor: %.3f s scan and save, %.3f s find (best of %d)\n", cpuSaved, cpuFind, kRounds);
    std::printf("watched:  %.3f (watched scan / scan)\n", bestWatched / bestScan);

    double bestAlone = 1e9, bestMany = 1e9;
    for (int round = 0; round < kDelayRounds; ++round) {
      bestAlone = std::min(bestAlone, TimeDelayedScan(root, 1));
      bestMany = std::min(bestMany, TimeDelayedScan(root, kDelayThreads));
    }
    std::printf("delayed:  %.3f s with 1 reader, %.3f s with %d (1 ms a folder, best of %d): %.1fx faster\n", bestAlone,
                bestMany, kDelayThreads, kDelayRounds, bestAlone / bestMany);
  } else {
    std::perror("building the tree");
  }
  std::remove(setPath.c_str());
  const int removed = std::system(("rm -rf '" + root + "'").c_str());
  return built && removed == 0 ? 0 : 1;
}
