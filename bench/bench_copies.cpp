// Times grouping copies across two sets of 500,000 files each, half of
// them shared (a quarter with fingerprints, a quarter by name, size and
// time), the peak memory the grouping adds, and one 1M-file set against
// itself.
//
//   bench_copies

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "bench/bench_set_builder.h"
#include "model/copy_groups.h"

namespace {

constexpr std::size_t kFilesPerSet = 500000;
constexpr std::size_t kPerFolder = 50;

// The kilobytes of the process's peak resident set, after reset when asked.
long PeakKilobytes(bool reset = false) {
  if (reset) std::ofstream("/proc/self/clear_refs") << "5";
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// A set whose file i is the same content as file i of every other set
// built with the same shared count, for i below shared.
std::unique_ptr<CRootFileInfo> BuildSet(const std::string& label, std::size_t files, std::size_t shared,
                                        unsigned seed) {
  std::mt19937 sharedRandom(7), ownRandom(seed);
  auto set = std::make_unique<CRootFileInfo>(label);
  auto catalog = std::make_unique<CDriveFileInfo>(label, "/media/" + label, CMediumFacts{"host", "HDD", 0, 1});
  std::vector<std::pair<std::uint32_t, CFingerprint>> fingerprints;
  std::uint32_t offset = 0;
  CFolderFileInfo* folder = nullptr;
  for (std::size_t i = 0; i < files; ++i) {
    if (i % kPerFolder == 0) {
      CFindData record;
      record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
      record.cFileName = "folder" + std::to_string(i / kPerFolder);
      folder = static_cast<CFolderFileInfo*>(catalog->AddChild(&record));
      ++offset;
    }
    std::mt19937& random = i < shared ? sharedRandom : ownRandom;
    CFindData file;
    file.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    file.cFileName = BenchFileName(random);
    file.SetSize(1 + random() % 10000000);
    file.ftLastWriteTime = 130000000000000000ULL + random() % 1000000000ULL * 10000000ULL;
    folder->AddChild(&file);
    ++offset;
    if (i % 2 == 0) fingerprints.emplace_back(offset, CFingerprint{random(), random()});
  }
  catalog->m_fingerprints.Add(std::move(fingerprints));
  set->AppendCatalog(std::move(catalog), 0);
  return set;
}

double Time(const std::vector<const CRootFileInfo*>& sets, std::size_t& groups) {
  const auto start = std::chrono::steady_clock::now();
  CCopyIndex index;
  index.Build(sets, CCopyOptions());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  groups = index.GroupCount();
  return seconds;
}

}  // namespace

int main() {
  const auto first = BuildSet("one", kFilesPerSet, kFilesPerSet / 2, 1);
  const auto second = BuildSet("two", kFilesPerSet, kFilesPerSet / 2, 2);
  const long loaded = PeakKilobytes(true);
  std::size_t groups = 0;
  const double seconds = Time({first.get(), second.get()}, groups);
  const long peak = PeakKilobytes();
  std::printf("two sets of %zu files, half shared: grouped in %.3f s (target <= 1.0), %zu groups\n", kFilesPerSet,
              seconds, groups);
  std::printf("peak memory: %.1f bytes per file above the loaded sets (target <= 40)\n",
              double(peak - loaded) * 1024 / double(2 * kFilesPerSet));

  const auto big = BuildSet("big", 2 * kFilesPerSet, 0, 3);
  const double itself = Time({big.get(), big.get()}, groups);
  std::printf("one set of %zu files against itself: %.3f s, %zu groups\n", 2 * kFilesPerSet, itself, groups);
  return 0;
}
