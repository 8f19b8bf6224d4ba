// Times cataloguing a folder of archives with their members listed against
// bsdtar -tf listing the same archives one after another, warm: 1,000 zips
// of 100 members, one zip of 50,000 and a tar.gz of 1 GB of content; then
// each of those three alone, to tell where the time goes (bsdtar starts
// once per archive, which weighs most on the small zips). Also the memory
// the listing holds at its peak.
//
//   bench_archives [--scale=F] [PARENT_FOLDER]   (default: 1; $TMPDIR or /tmp)
//
// The archives, made with zip, tar and gzip, stay in
// PARENT_FOLDER/quarrix-bench-archives[-F] for the next run; --scale=0.05
// makes a set that small for a quick run.

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/bench_heap.h"
#include "bench/bench_temp_folder.h"
#include "model/catalog_update.h"
#include "platform/heap_arenas.h"

extern char** environ;

namespace {

constexpr int kRounds = 3;

// The archives by kind, a folder each.
struct CKind {
  const char* pFolder;
  const char* pName;
};
constexpr CKind kKinds[] = {{"small", "small zips"}, {"many", "large zip"}, {"large", "tar.gz"}};
constexpr int kKindCount = 3;

struct CFixtureSize {
  int nZips = 1000;
  int nMembersPerZip = 100;
  int nManyMembers = 50000;
  int nTarMegabytes = 1024;
};

bool Shell(const std::string& command) {
  const std::string wrapped = "bash -c 'set -eo pipefail; " + command + "'";
  return std::system(wrapped.c_str()) == 0;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return bool(out.flush());
}

// Text of about size bytes from a small vocabulary: it compresses about as
// documents do, neither to nothing nor not at all.
void AppendWords(std::string& text, std::size_t size, std::mt19937_64& random) {
  static const char* const kWords[] = {"catalog", "archive", "member",  "folder", "disk", "medium", "name",
                                       "size",    "time",    "quarrix", "list",   "file", "note",   "search",
                                       "update",  "tree",    "path",    "entry",  "zip",  "tar"};
  const std::size_t end = text.size() + size;
  while (text.size() < end) {
    const std::uint64_t r = random();
    text += kWords[r % 20];
    text += (r >> 8) % 12 == 0 ? '\n' : ' ';
    if ((r >> 16) % 7 == 0) text += std::to_string((r >> 24) % 100000);
  }
  text.resize(end);
}

bool MakeFiles(const std::string& folder, int count, int perFolder, std::size_t size, std::mt19937_64& random) {
  for (int f = 0; f < count; ++f) {
    const std::string sub = folder + "/d" + std::to_string(f / perFolder);
    if (f % perFolder == 0 && mkdir(sub.c_str(), 0755) != 0) return false;
    std::string text;
    AppendWords(text, size / 2 + random() % size, random);
    if (!WriteText(sub + "/member" + std::to_string(f) + ".txt", text)) return false;
  }
  return true;
}

// The tar's content: a quarter noise, the rest text, in files of 1 MB.
bool MakeLargeFiles(const std::string& folder, int megabytes, std::mt19937_64& random) {
  if (mkdir(folder.c_str(), 0755) != 0) return false;
  std::string block;
  for (int f = 0; f < megabytes; ++f) {
    block.clear();
    AppendWords(block, 768 << 10, random);
    for (int i = 0; i < (256 << 10) / 8; ++i) {
      const std::uint64_t word = random();
      block.append(reinterpret_cast<const char*>(&word), 8);
    }
    if (!WriteText(folder + "/part" + std::to_string(f) + ".bin", block)) return false;
  }
  return true;
}

std::string Describe(const CFixtureSize& size) {
  std::ostringstream text;
  text << size.nZips << " zips of " << size.nMembersPerZip << ", one of " << size.nManyMembers << ", tar.gz of "
       << size.nTarMegabytes << " MB, v2\n";
  return text.str();
}

// The archives, a folder for each kind (kKinds), in a folder below root:
// made unless a stamp says they are there already; empty when they could
// not be made.
std::string MakeFixture(const std::string& root, const CFixtureSize& size) {
  const std::string archives = root + "/archives";
  const std::string stamp = root + "/.done";
  std::ifstream in(stamp);
  std::stringstream was;
  was << in.rdbuf();
  if (was.str() == Describe(size)) {
    std::printf("archives in %s (made before)\n", archives.c_str());
    return archives;
  }
  std::printf("making archives in %s ...\n", archives.c_str());
  const auto start = CClock::now();
  const std::string work = root + "/work";
  std::mt19937_64 random(42);
  const bool made =
      Shell("rm -rf \"" + root + "\" && mkdir -p \"" + work + "/small\" \"" + work + "/many\" \"" + archives +
            "/small\" \"" + archives + "/many\" \"" + archives + "/large\"") &&
      MakeFiles(work + "/small", size.nMembersPerZip, 20, 2000, random) &&
      Shell("cd \"" + work + "/small\" && for i in $(seq -w 1 " + std::to_string(size.nZips) +
            "); do zip -q -X -D -r \"" + archives + "/small/small$i.zip\" .; done") &&
      MakeFiles(work + "/many", size.nManyMembers, 100, 200, random) &&
      Shell("cd \"" + work + "/many\" && zip -q -X -D -r \"" + archives + "/many/many.zip\" .") &&
      MakeLargeFiles(work + "/large", size.nTarMegabytes, random) &&
      Shell("cd \"" + work + "\" && tar -cf - large | gzip -1 > \"" + archives + "/large/large.tar.gz\"") &&
      Shell("rm -rf \"" + work + "\"") && WriteText(stamp, Describe(size));
  if (!made) return {};
  std::printf("made in %.0f s\n", Seconds(start));
  return archives;
}

std::vector<std::string> ArchivesIn(const std::string& folder) {
  std::vector<std::string> paths;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') paths.push_back(folder + "/" + entry->d_name);
    closedir(dir);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// bsdtar -tf for each archive in turn, its listing thrown away.
bool ListWithBsdtar(const std::vector<std::string>& archives) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  bool ok = true;
  for (const std::string& path : archives) {
    char* args[] = {const_cast<char*>("bsdtar"), const_cast<char*>("-tf"), const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "bsdtar", &actions, nullptr, args, environ) != 0 || waitpid(child, &status, 0) != child ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      ok = false;
      break;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return ok;
}

// The entries bsdtar lists, and those of them that are not folders.
void CountWithBsdtar(const std::vector<std::string>& archives, std::uint64_t& entries, std::uint64_t& files) {
  entries = files = 0;
  char line[4096];
  for (const std::string& path : archives) {
    FILE* out = popen(("bsdtar -tf '" + path + "'").c_str(), "r");
    if (out == nullptr) continue;
    while (std::fgets(line, sizeof line, out) != nullptr) {
      ++entries;
      const std::size_t length = std::strlen(line);
      if (length < 2 || line[length - 2] != '/') ++files;
    }
    pclose(out);
  }
}

std::unique_ptr<CDriveFileInfo> Catalogue(const std::string& folder) {
  CScanOptions options;
  options.nArchiveDepth = 1;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  std::vector<std::string> unlisted;
  if (MakeCatalog("bench", {folder}, options, catalog, message, nullptr, &unlisted) != EScanStatus::Done ||
      !unlisted.empty()) {
    std::fprintf(stderr, "cataloguing failed: %s\n", message.c_str());
    return nullptr;
  }
  return catalog;
}

// Files among the members of the archives below folder.
std::uint64_t MemberFiles(const CFolderFileInfo& folder, bool inArchive) {
  std::uint64_t files = 0;
  for (const auto& child : folder.Children()) {
    if (const CFolderFileInfo* members = child->Members()) files += MemberFiles(*members, true);
    if (child->IsContainer())
      files += MemberFiles(static_cast<const CFolderFileInfo&>(*child), inArchive);
    else if (inArchive)
      ++files;
  }
  return files;
}

double Best(const std::function<bool()>& what, double& cpu, const std::function<double()>& cpuClock) {
  double best = 1e9;
  cpu = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const double cpuStart = cpuClock();
    const auto start = CClock::now();
    if (!what()) return -1;
    best = std::min(best, Seconds(start));
    cpu = std::min(cpu, cpuClock() - cpuStart);
  }
  return best;
}

// Times cataloguing folder against bsdtar listing its archives; the
// ratio, or a negative one when a run failed.
double Compare(const char* what, const std::string& folder, const std::vector<std::string>& archives,
               std::uint64_t entries) {
  double bsdtarCpu = 0, oursCpu = 0;
  const double bsdtar = Best([&] { return ListWithBsdtar(archives); }, bsdtarCpu, ChildrenCpuSeconds);
  const double ours = Best([&] { return Catalogue(folder) != nullptr; }, oursCpu, CpuSeconds);
  if (bsdtar < 0 || ours < 0) {
    std::fprintf(stderr, "%s: a run failed\n", what);
    return -1;
  }
  std::printf(
      "%-14s bsdtar -tf %7.3f s (cpu %7.3f s), catalogue %7.3f s (cpu %7.3f s): %.2fx, %.0f vs %.0f members/s\n", what,
      bsdtar, bsdtarCpu, ours, oursCpu, ours / bsdtar, double(entries) / ours, double(entries) / bsdtar);
  return ours / bsdtar;
}

}  // namespace

int main(int argc, char** argv) {
  LimitHeapArenas();  // as the programs do
  double scale = 1;
  if (argc > 1 && std::strncmp(argv[1], "--scale=", 8) == 0) {
    scale = std::atof(argv[1] + 8);
    --argc;
    ++argv;
  }
  if (!(scale > 0 && scale <= 1)) {
    std::fprintf(stderr, "--scale takes a fraction above 0, at most 1\n");
    return 1;
  }
  CFixtureSize size;
  size.nZips = std::max(1, int(size.nZips * scale));
  size.nManyMembers = std::max(100, int(size.nManyMembers * scale));
  size.nTarMegabytes = std::max(1, int(size.nTarMegabytes * scale));
  std::string root = BenchParentFolder(argc, argv) + "/quarrix-bench-archives";
  if (scale != 1) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%g", scale);
    root += suffix;
  }
  const std::string folder = MakeFixture(root, size);
  if (folder.empty()) {
    std::fprintf(stderr, "could not make the archives (zip, tar and gzip are needed)\n");
    return 1;
  }
  std::vector<std::string> archives;
  std::uint64_t entries[kKindCount + 1] = {}, files = 0;
  for (int kind = 0; kind < kKindCount; ++kind) {
    const std::vector<std::string> ofKind = ArchivesIn(folder + "/" + kKinds[kind].pFolder);
    archives.insert(archives.end(), ofKind.begin(), ofKind.end());
    std::uint64_t kindFiles = 0;
    CountWithBsdtar(ofKind, entries[kind + 1], kindFiles);  // warms the cache too
    entries[0] += entries[kind + 1];
    files += kindFiles;
  }
  const auto warm = Catalogue(folder);
  if (warm == nullptr) return 1;
  const std::uint64_t ourFiles = MemberFiles(*warm, false);
  std::printf("%zu archives, %llu entries (%llu files; listed by us: %llu files)\n", archives.size(),
              (unsigned long long)entries[0], (unsigned long long)files, (unsigned long long)ourFiles);
  if (ourFiles != files) std::printf("the listings differ!\n");
  std::printf("warm, best of %d:\n", kRounds);
  const double ratio = Compare("all", folder, archives, entries[0]);
  if (ratio < 0) return 1;
  std::printf("all: ours / bsdtar = %.2f (target <= 1.20)\n", ratio);
  for (int kind = 0; kind < kKindCount; ++kind) {
    const std::string kindFolder = folder + "/" + kKinds[kind].pFolder;
    if (Compare(kKinds[kind].pName, kindFolder, ArchivesIn(kindFolder), entries[kind + 1]) < 0) return 1;
  }

  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
  const long before = StatusKilobytes("VmRSS:");
  const std::size_t heapBefore = HeapInUse();
  auto catalog = Catalogue(folder);
  const long peak = StatusKilobytes("VmHWM:") - before;
  const double heap = double(HeapInUse() - heapBefore);
  std::printf("memory: peak %ld KB while cataloguing, catalog heap %.0f KB (%.1f bytes per entry)\n", peak, heap / 1024,
              heap / double(entries[0]));
  return 0;
}
