// Times cataloguing with content fingerprints against the tools people use
// to read or hash the same files: cat (the read limit) and xxhsum -H2, warm
// and, where the caches can be dropped, cold. Also an update of a hashed
// catalog with nothing changed against a plain update, and the memory the
// fingerprints hold.
//
//   bench_hash [PARENT_FOLDER]   (default: $TMPDIR or /tmp)

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_heap.h"
#include "bench/bench_temp_folder.h"
#include "model/catalog_update.h"
#include "model/content_hashing.h"

namespace {

constexpr int kSmallFolders = 200;
constexpr int kSmallPerFolder = 100;  // 20,000 files of 1 to 64 KB
constexpr int kLargeFiles = 5;        // of 300 MB
constexpr std::size_t kLargeSize = 300u << 20;
constexpr int kRounds = 3;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool WriteFile(const std::string& path, std::size_t size, std::mt19937_64& random) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  std::vector<std::uint64_t> block(1 << 17);  // 1 MB of noise, so that nothing is sparse or compressible
  bool ok = true;
  for (std::size_t done = 0; done < size && ok;) {
    for (auto& word : block) word = random();
    const std::size_t part = std::min(size - done, block.size() * 8);
    ok = write(fd, block.data(), part) == ssize_t(part);
    done += part;
  }
  return close(fd) == 0 && ok;
}

std::uint64_t MakeTree(const std::string& root) {
  std::mt19937_64 random(42);
  std::uint64_t total = 0;
  for (int d = 0; d < kSmallFolders; ++d) {
    const std::string folder = root + "/small" + std::to_string(d);
    if (mkdir(folder.c_str(), 0755) != 0) return 0;
    for (int f = 0; f < kSmallPerFolder; ++f) {
      const std::size_t size = 1024 + random() % (63 * 1024);
      if (!WriteFile(folder + "/f" + std::to_string(f), size, random)) return 0;
      total += size;
    }
  }
  if (mkdir((root + "/large").c_str(), 0755) != 0) return 0;
  for (int f = 0; f < kLargeFiles; ++f) {
    if (!WriteFile(root + "/large/big" + std::to_string(f) + ".bin", kLargeSize, random)) return 0;
    total += kLargeSize;
  }
  return total;
}

bool CanDropCaches() { return geteuid() == 0 && access("/proc/sys/vm/drop_caches", W_OK) == 0; }

void DropCaches() {
  sync();
  if (FILE* f = std::fopen("/proc/sys/vm/drop_caches", "w")) {
    std::fputs("3\n", f);
    std::fclose(f);
  }
}

// The best of kRounds runs of what (the first after dropping the caches
// when cold).
double Best(const std::function<bool()>& what, bool cold) {
  double best = 1e9;
  for (int round = 0; round < (cold ? 1 : kRounds); ++round) {
    if (cold) DropCaches();
    const auto start = std::chrono::steady_clock::now();
    if (!what()) return -1;
    best = std::min(best, Since(start));
  }
  return best;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

std::unique_ptr<CDriveFileInfo> Catalogue(const std::string& root, bool hash) {
  CScanOptions options;
  options.bHashContents = hash;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  MakeCatalog("bench", {root}, options, catalog, message);
  return catalog;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = MakeBenchFolder(argc, argv);
  if (root.empty()) return 1;
  const std::uint64_t bytes = MakeTree(root);
  if (bytes == 0) {
    std::fprintf(stderr, "could not build the tree\n");
    return 1;
  }
  const int files = kSmallFolders * kSmallPerFolder + kLargeFiles;
  std::printf("%d files, %.2f GB\n", files, double(bytes) / 1e9);
  const std::string quoted = "'" + root + "'";
  const std::string cat = "find " + quoted + " -type f -exec cat {} + > /dev/null";
  const std::string xxhsum = "find " + quoted + " -type f -exec xxhsum -H2 {} + > /dev/null";
  const bool haveXxhsum = Shell("command -v xxhsum > /dev/null");
  Shell(cat);  // warm

  for (const bool cold : {false, true}) {
    if (cold && !CanDropCaches()) {
      std::printf("cold cache: not measured (dropping the caches needs root and /proc/sys/vm/drop_caches)\n");
      break;
    }
    const char* name = cold ? "cold" : "warm";
    const double catTime = Best([&] { return Shell(cat); }, cold);
    const double xxhTime = haveXxhsum ? Best([&] { return Shell(xxhsum); }, cold) : -1;
    const double ours = Best([&] { return Catalogue(root, true) != nullptr; }, cold);
    std::printf("%s: cat %.3f s, xxhsum -H2 %.3f s, catalogue with fingerprints %.3f s (%.0f MB/s)\n", name, catTime,
                xxhTime, ours, double(bytes) / 1e6 / ours);
    std::printf("%s: ours / cat = %.2f (target <= 1.10), ours / xxhsum = %.2f (target < 1.00)\n", name, ours / catTime,
                xxhTime > 0 ? ours / xxhTime : 0.0);
  }

  // Update with nothing changed: no content is read.
  const auto hashed = Catalogue(root, true);
  const auto plain = Catalogue(root, false);
  const auto update = [&](const CDriveFileInfo& catalog) {
    std::unique_ptr<CDriveFileInfo> fresh;
    std::string message;
    return ScanForUpdate(catalog, root, RecordedScanOptions(catalog), fresh, message) == EScanStatus::Done &&
           fresh->m_fingerprints.Size() == catalog.m_fingerprints.Size();
  };
  const double plainUpdate = Best([&] { return update(*plain); }, false);
  const double hashedUpdate = Best([&] { return update(*hashed); }, false);
  std::printf("update, nothing changed: plain %.3f s, hashed %.3f s, ratio %.2f (target <= 1.20)\n", plainUpdate,
              hashedUpdate, hashedUpdate / plainUpdate);

  // What the fingerprints hold once taken: the scan's items, then the table.
  auto catalog = Catalogue(root, false);
  const std::size_t before = HeapInUse();
  CScanOptions options;
  CHashOutcome outcome;
  HashMissingFingerprints(*catalog, options, outcome);
  outcome = CHashOutcome();
  const std::size_t after = HeapInUse();
  std::printf("memory: %.1f bytes more per hashed file (target <= 20)\n",
              double(after - before) / double(catalog->m_fingerprints.Size()));
  Shell("rm -rf " + quoted);
  return 0;
}
