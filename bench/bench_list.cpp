// Measures the plain file lists: exporting a large set as CSV (and the other
// formats) and importing each export back, in lines a second.
//
//   bench_list [FILES] [FORMAT]   (default 1,000,000 files in the exported catalog, every format)

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/bench_clock.h"
#include "bench/bench_set_builder.h"
#include "model/list_export.h"
#include "model/list_import.h"

namespace {

void Report(const char* step, std::size_t lines, double seconds, double cpuStart) {
  const double cpu = CpuSeconds() - cpuStart;
  std::printf("%-16s %9.3f s  %12.0f lines/s   (processor %.3f s, %.0f lines/s)\n", step, seconds,
              double(lines) / seconds, cpu, double(lines) / cpu);
}

std::string ReadWhole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t files = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
  char path[] = "/tmp/quarrix-bench-list-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return 1;
  close(fd);
  std::size_t items = 0;
  // The builder spreads the files over three catalogs; the first is exported.
  const auto set = BuildBenchSet(files * 3, items);
  // One catalog, so that the import builds what was exported.
  const std::vector<std::string> chosen = {"Catalog 0"};
  const std::size_t lines = CountItemsBelow(*static_cast<const CFolderFileInfo*>(set->Children()[0].get()));
  std::printf("%zu files, %zu lines in the exported catalog\n", files, lines);

  bool ok = true;
  for (const char* name : {"csv", "tsv", "efu", "jsonl"}) {
    if (argc > 2 && std::string(argv[2]) != name) continue;
    EListFormat format = EListFormat::Csv;
    ParseListFormat(name, format);
    double cpuStart = CpuSeconds();
    auto start = CClock::now();
    ok = WriteItemListFile(path, *set, &chosen, format) && ok;
    Report((std::string("export ") + name).c_str(), lines, Seconds(start), cpuStart);

    const std::string text = ReadWhole(path);
    CImportOptions options;
    options.eFormat = format;
    options.strLabel = "Imported";
    cpuStart = CpuSeconds();
    start = CClock::now();
    const CImportResult result = ImportItemList(text, options);
    Report((std::string("import ") + name).c_str(), lines, Seconds(start), cpuStart);
    ok = ok && result.problems.empty() && CountItemsBelow(*result.catalog) == lines;
  }
  unlink(path);
  if (!ok) std::fprintf(stderr, "the lists did not read back\n");
  return ok ? 0 : 1;
}
