// Times updating a catalog of a large tree against adding the same tree
// from scratch, both with a warm cache. The update is the new scan plus the
// comparison with the old catalog; moving the notes and replacing the
// catalog are timed apart.
//
//   bench_update [PARENT_FOLDER]   (default: $TMPDIR or /tmp)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "model/catalog_update.h"
#include "model/root_file_info.h"
#include "bench/bench_temp_folder.h"

namespace {

constexpr int kFolders = 4000;  // in 40 groups
constexpr int kFilesPerFolder = 50;
constexpr int kRounds = 5;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Since(std::chrono::steady_clock::time_point start) { return Seconds(std::chrono::steady_clock::now() - start); }

bool MakeFiles(const std::string& folder, int count, int sizeStep) {
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir < 0) return false;
  bool ok = true;
  for (int f = 0; f < count && ok; ++f) {
    const std::string name = "file_" + std::to_string(f) + ".dat";
    const int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT, 0644);
    ok = fd >= 0 && ftruncate(fd, off_t(f) * sizeStep) == 0;
    if (fd >= 0) close(fd);
  }
  close(dir);
  return ok;
}

// 40 groups of 100 folders of 50 files: about 204,000 entries.
bool MakeTree(const std::string& root) {
  for (int i = 0; i < kFolders; ++i) {
    const std::string group = root + "/group" + std::to_string(i / 100);
    if (i % 100 == 0 && mkdir(group.c_str(), 0755) != 0) return false;
    const std::string folder = group + "/dir" + std::to_string(i % 100);
    if (mkdir(folder.c_str(), 0755) != 0 || !MakeFiles(folder, kFilesPerFolder, 11)) return false;
  }
  return true;
}

long PeakKilobytes() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = MakeBenchFolder(argc, argv);
  if (root.empty()) return 1;
  bool ok = MakeTree(root);

  CRootFileInfo set("bench");
  CDriveFileInfo* catalog = ok ? set.AddCatalog("tree", root) : nullptr;
  ok = ok && catalog != nullptr;
  if (ok) {
    // A note on every 100th file, then in 100 folders a file removed, one
    // changed and a folder of 10 files added.
    int n = 0;
    WalkBelow(*catalog, "tree", [&](const CFileInfo& item, const CWalkPath&) {
      if (!item.IsContainer() && n++ % 100 == 0) const_cast<CFileInfo&>(item).SetNoteText("note");
    });
    for (int i = 0; i < 100 && ok; ++i) {
      const std::string folder = root + "/group" + std::to_string(i % 40) + "/dir" + std::to_string(i);
      ok = std::remove((folder + "/file_1.dat").c_str()) == 0 && truncate((folder + "/file_2.dat").c_str(), 999) == 0 &&
           mkdir((folder + "/added").c_str(), 0755) == 0 && MakeFiles(folder + "/added", 10, 1);
    }
  }
  if (ok) {
    std::unique_ptr<CDriveFileInfo> scanned;
    std::string message;
    double bestAdd = 1e9, bestUpdate = 1e9, bestCompare = 1e9;
    CUpdateSummary summary;
    for (int round = 0; round <= kRounds; ++round) {  // round 0 warms the cache
      auto start = std::chrono::steady_clock::now();
      ScanCatalog("tree", {root}, CScanOptions(), scanned, message);
      if (round > 0) bestAdd = std::min(bestAdd, Since(start));
      scanned.reset();

      start = std::chrono::steady_clock::now();
      ScanForUpdate(*catalog, root, CScanOptions(), scanned, message);
      const auto compareStart = std::chrono::steady_clock::now();
      summary = CompareCatalogs(*catalog, *scanned);
      if (round > 0) bestCompare = std::min(bestCompare, Since(compareStart));
      if (round > 0) bestUpdate = std::min(bestUpdate, Since(start));
      if (round < kRounds) scanned.reset();
    }
    const auto start = std::chrono::steady_clock::now();
    catalog = ApplyCatalogUpdate(set, *catalog, std::move(scanned), std::time(nullptr));
    const double apply = Since(start);
    std::printf("entries:  %llu\n", static_cast<unsigned long long>(CountItemsBelow(*catalog)));
    std::printf("changes:  +%llu -%llu ~%llu, notes kept %llu, lost %zu\n",
                static_cast<unsigned long long>(summary.nAdded), static_cast<unsigned long long>(summary.nRemoved),
                static_cast<unsigned long long>(summary.nChanged), static_cast<unsigned long long>(summary.nNotesKept),
                summary.lostNotes.size());
    std::printf("add:      %.3f s (best of %d)\n", bestAdd, kRounds);
    std::printf("update:   %.3f s (scan and compare, best of %d)\n", bestUpdate, kRounds);
    std::printf("compare:  %.3f s (of the update, best of %d)\n", bestCompare, kRounds);
    std::printf("apply:    %.3f s (notes moved, catalog replaced)\n", apply);
    std::printf("ratio:    %.2f (update / add)\n", bestUpdate / bestAdd);
    std::printf("peak RSS: %ld KB\n", PeakKilobytes());
  } else {
    std::perror("building the tree");
  }
  const int removed = std::system(("rm -rf '" + root + "'").c_str());
  return ok && removed == 0 ? 0 : 1;
}
