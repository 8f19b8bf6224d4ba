// Times scanning a large tree into a catalog against find reading the same
// attributes, both with a warm cache; and the same scan with a progress sink
// and a cancel flag attached, watched ten times a second as a dialog would.
//
//   bench_scan [PARENT_FOLDER]   (default: $TMPDIR or /tmp)

#include <fcntl.h>
#include <unistd.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "model/root_file_info.h"
#include "model/scan.h"
#include "bench/bench_temp_folder.h"

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 100;
constexpr int kFilesPerFolder = 50;
constexpr int kRounds = 6;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

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

double TimeScan(const std::string& root, std::size_t& items, bool watched) {
  CScanProgress progress;
  std::atomic<bool> cancel{false};
  CScanOptions options;
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
  const auto start = std::chrono::steady_clock::now();
  ScanCatalog("tree", {root}, options, catalog, message);
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  done.store(true);
  if (watcher.joinable()) watcher.join();
  items = catalog ? std::size_t(CountItemsBelow(*catalog)) : 0;
  return seconds;
}

double TimeFind(const std::string& root) {
  const std::string command = "find '" + root + "' -printf '%s %T@ %A@\\n' > /dev/null";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "find failed\n");
  return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = MakeBenchFolder(argc, argv);
  if (root.empty()) return 1;
  const auto buildStart = std::chrono::steady_clock::now();
  const bool built = BuildTree(root);
  std::printf("built in %.2f s\n", Seconds(std::chrono::steady_clock::now() - buildStart));

  if (built) {
    // Warm the cache with one run of each.
    std::size_t items = 0;
    TimeFind(root);
    TimeScan(root, items, false);
    double bestScan = 1e9, bestWatched = 1e9, bestFind = 1e9;
    // The order alternates so that neither kind always runs after the other.
    for (int round = 0; round < kRounds; ++round) {
      if (round % 2 == 0) bestScan = std::min(bestScan, TimeScan(root, items, false));
      bestWatched = std::min(bestWatched, TimeScan(root, items, true));
      if (round % 2 != 0) bestScan = std::min(bestScan, TimeScan(root, items, false));
      bestFind = std::min(bestFind, TimeFind(root));
    }
    std::printf("entries:  %zu (%d folders)\n", items, kTopFolders * (kSubFolders + 1));
    std::printf("scan:     %.3f s (best of %d)\n", bestScan, kRounds);
    std::printf("watched:  %.3f s (best of %d; progress sink and cancel flag attached)\n", bestWatched, kRounds);
    std::printf("find:     %.3f s (best of %d)\n", bestFind, kRounds);
    std::printf("ratio:    %.2f (scan / find)\n", bestScan / bestFind);
    std::printf("watched:  %.3f (watched scan / scan)\n", bestWatched / bestScan);
  } else {
    std::perror("building the tree");
  }
  const int removed = std::system(("rm -rf '" + root + "'").c_str());
  return built && removed == 0 ? 0 : 1;
}
