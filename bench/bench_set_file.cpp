// Measures a large set: building it, saving, loading and searching by name,
// with the memory a loaded set holds per file.
//
//   bench_set_file [FILES]   (default 1,000,000)

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "model/set_file.h"

namespace {

using CClock = std::chrono::steady_clock;

double Seconds(CClock::time_point start) {
  return std::chrono::duration<double>(CClock::now() - start).count();
}

double ThreadCpuSeconds() {
  timespec now {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

std::size_t HeapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

long PeakRssKb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string RandomName(std::mt19937& random) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-";
  const int length = 12 + int(random() % 9);  // about 16 on average
  std::string name;
  for (int i = 0; i < length - 4; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name + ".dat";
}

// Three catalogs of folders holding 20 files each, grouped 100 folders a group.
std::unique_ptr<CRootFileInfo> BuildSet(std::size_t files, std::size_t& items) {
  std::mt19937 random(42);
  auto set = std::make_unique<CRootFileInfo>("bench");
  const std::size_t folders = (files + 19) / 20;
  std::size_t madeFiles = 0, madeFolders = 0;
  items = 1;
  for (int c = 0; c < 3; ++c) {
    auto catalog = std::make_unique<CDriveFileInfo>("Catalog " + std::to_string(c), "/media/disc" + std::to_string(c),
                                                    CMediumFacts{"host", "CD-ROM", 0, 700000000});
    ++items;
    const std::size_t mine = folders / 3 + (c == 0 ? folders % 3 : 0);
    CFolderFileInfo* group = nullptr;
    for (std::size_t f = 0; f < mine; ++f) {
      if (f % 100 == 0) {
        CFindData record;
        record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        record.cFileName = "group" + std::to_string(f / 100);
        group = static_cast<CFolderFileInfo*>(catalog->AddChild(&record));
        ++items;
      }
      CFindData record;
      record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
      record.cFileName = "folder" + std::to_string(madeFolders++);
      auto* folder = static_cast<CFolderFileInfo*>(group->AddChild(&record));
      ++items;
      for (int i = 0; i < 20 && madeFiles < files; ++i, ++madeFiles, ++items) {
        CFindData file;
        file.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        file.cFileName = RandomName(random);
        file.SetSize(random() % 10000000);
        file.ftCreationTime = file.ftLastAccessTime = file.ftLastWriteTime = 130000000000000000ULL + random();
        folder->AddChild(&file);
      }
    }
    set->AppendCatalog(std::move(catalog), 1000000000);
  }
  return set;
}

void Report(const char* step, std::size_t items, double seconds) {
  std::printf("%-28s %9.3f s  %12.0f items/s\n", step, seconds, double(items) / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t files = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  char path[] = "/tmp/quarrix-bench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return 1;
  close(fd);

  std::size_t items = 0;
  const std::size_t heapBefore = HeapInUse();
  auto start = CClock::now();
  auto set = BuildSet(files, items);
  Report("build", items, Seconds(start));
  std::printf("%-28s %9.1f bytes per file\n", "memory held, built set", double(HeapInUse() - heapBefore) / double(files));

  start = CClock::now();
  if (WriteSetFile(path, *set) != ESetFileError::None) return 1;
  Report("save", items, Seconds(start));
  set.reset();
  malloc_trim(0);

  const std::size_t heapBeforeLoad = HeapInUse();
  start = CClock::now();
  std::unique_ptr<CRootFileInfo> loaded;
  if (ReadSetFile(path, loaded) != ESetFileError::None) return 1;
  Report("load", items, Seconds(start));
  std::printf("%-28s %9.1f bytes per file\n", "memory held, loaded set",
              double(HeapInUse() - heapBeforeLoad) / double(files));

  struct CNameSearch {
    const char* pszStep;
    const char* pszPattern;
    bool bCaseSensitive;
    CTextOptions options;
  };
  for (const CNameSearch& search : {CNameSearch{"name search (case)", "q7x", true, {}},
                                    CNameSearch{"name search (any case)", "q7x", false, {}},
                                    CNameSearch{"name search (width, kana)", "q7x", false, {true, true}},
                                    CNameSearch{"name search (*q7x*.dat)", "*q7x*.dat", false, {true, true}}}) {
    // The fastest of several runs, in elapsed and in processor time: on a
    // shared machine the slower runs measure the neighbours.
    double best = 1e9, bestCpu = 1e9;
    std::size_t matches = 0;
    for (int run = 0; run < 9; ++run) {
      CItemSummaryList found;
      const double cpuStart = ThreadCpuSeconds();
      start = CClock::now();
      loaded->FindByName("", search.pszPattern, false, search.bCaseSensitive, found, search.options);
      best = std::min(best, Seconds(start));
      bestCpu = std::min(bestCpu, ThreadCpuSeconds() - cpuStart);
      matches = found.size();
    }
    Report(search.pszStep, items, best);
    std::printf("%-28s %9.3f s  %12.0f items/s\n", "  processor time", bestCpu, double(items) / bestCpu);
    std::printf("%-28s %9zu\n", "  matches", matches);
  }

  std::printf("%-28s %9.1f bytes per file\n", "peak resident memory", double(PeakRssKb()) * 1024 / double(files));
  unlink(path);
  return 0;
}
