// libFuzzer target for the set-file reader. Every input the reader accepts
// must save to bytes the reader accepts again, and saving that reloaded set
// gives the same bytes; the set is then walked, searched and reported on, as
// the program would after opening it.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "model/root_file_info.h"
#include "model/set_file.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "set file property broken: %s\n", what);
  std::abort();
}

void Exercise(const CRootFileInfo& set) {
  // Every item is visited; a few are looked at as the views would.
  std::vector<std::string> paths, folders{""};
  WalkBelow(set, set.PathUnder({}), [&](const CFileInfo& item, const CWalkPath& parent) {
    if (paths.size() < 16) paths.push_back(parent.PathOf(item));
    if (item.IsContainer() && folders.size() < 4) folders.push_back(parent.PathOf(item));
  });
  for (const std::string& path : paths) set.GetItemSummary(path);
  for (const std::string& path : folders) {
    CItemSummaryList children;
    set.ListChildren(path, children, false);
  }
  CPropInfoData info;
  set.GetSelectionInfo(paths, info);
  CItemSummaryList found;
  set.FindByName("", "*a*", false, false, found);
  set.FindByName("", "A?", true, true, found);
  set.FindByNote("", "a", false, false, found);
  set.FindBySize("", 0, 1, found);
  set.FindByDate("", CTime(0), std::nullopt, found);

  const int fd = ::memfd_create("report", MFD_CLOEXEC);
  if (fd < 0) Fail("no memory file for the report");
  set.WriteHtmlReportTo(fd, nullptr, CatalogOutOptions());
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<CRootFileInfo> set;
  if (ReadSetFromBytes(std::string_view(reinterpret_cast<const char*>(data), size), set) != ESetFileError::None)
    return 0;
  const std::string first = WriteSetToBytes(*set);
  std::unique_ptr<CRootFileInfo> reloaded;
  if (ReadSetFromBytes(first, reloaded) != ESetFileError::None) Fail("the saved set does not load");
  if (WriteSetToBytes(*reloaded) != first) Fail("saving the reloaded set gives other bytes");
  // Tens of thousands of items (the class-index seed) teach the views
  // nothing new and would take seconds a run.
  if (size <= (1u << 17)) Exercise(*reloaded);
  return 0;
}
