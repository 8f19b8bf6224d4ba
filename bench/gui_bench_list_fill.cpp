// Measures the list view on a folder of many files (default 100,000): from
// selecting the folder in the tree to the list being filled, sorted and
// drawn in the details style, then re-sorts by other columns. Needs a
// display: run it under xvfb-run. The tree's 200 ms settle delay is a
// deliberate pause, not work, and is left out of the figures.
//
//   gui_bench_list_fill [FILES [--styles]]   (--styles: also time the list style)

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <wx/listctrl.h>

#include "bench/gui_bench_window.h"

namespace {

CFileInfo* AddRecord(CFolderFileInfo& folder, const std::string& name, std::uint64_t size, std::int64_t time,
                     std::uint32_t attributes) {
  CFindData record;
  record.dwFileAttributes = attributes;
  record.cFileName = name;
  record.SetSize(size);
  record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime = UnixToFileTime(time, 0);
  return folder.AddChild(&record);
}

CFolderFileInfo* AddFolder(CFolderFileInfo& folder, const std::string& name) {
  return static_cast<CFolderFileInfo*>(AddRecord(folder, name, 0, 1000000000, FILE_ATTRIBUTE_DIRECTORY));
}

// One catalog with a folder "big" of files names, a few subfolders, and a
// small folder "warm" with one file of each extension.
std::unique_ptr<CRootFileInfo> BuildSet(std::size_t files) {
  static const char* const kExtensions[] = {".txt", ".jpg", ".doc", ".mp3", ".zip", ".html", ".c",
                                            ".h",   ".png", ".pdf", ".xls", ".bin", ""};
  std::mt19937 random(7);
  auto set = std::make_unique<CRootFileInfo>("bench");
  auto catalog = std::make_unique<CDriveFileInfo>("Disk", "/media/disk", CMediumFacts{"host", "固定ディスク", 0, 0});
  CFolderFileInfo* big = AddFolder(*catalog, "big");
  big->ReserveChildren(files + 10);
  for (int i = 0; i < 10; ++i) AddFolder(*big, "sub" + std::to_string(i));
  for (std::size_t i = 0; i < files; ++i) {
    const char* extension = kExtensions[random() % (sizeof kExtensions / sizeof *kExtensions)];
    const std::string name = "File_" + std::to_string(random() % 1000000) + "_" + std::to_string(i) + extension;
    const std::uint64_t size = random() % (64ull << 20);
    const std::int64_t time = 900000000 + std::int64_t(random() % 400000000);
    AddRecord(*big, name, size, time, FILE_ATTRIBUTE_ARCHIVE);
  }
  CFolderFileInfo* warm = AddFolder(*catalog, "warm");
  for (const char* extension : kExtensions)
    AddRecord(*warm, std::string("w") + extension, 1, 1000000000, FILE_ATTRIBUTE_ARCHIVE);
  set->AppendCatalog(std::move(catalog), 1000000000);
  return set;
}

void ClickColumn(wxListCtrl* list, int column) {
  wxListEvent event(wxEVT_LIST_COL_CLICK, list->GetId());
  event.SetEventObject(list);
  event.m_col = column;
  list->GetEventHandler()->ProcessEvent(event);
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t files = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000;
  CBenchWindow window;
  if (!window.Open(argv, "gui_bench_list_fill")) return 2;
  {
    CExplorerApDoc* doc = window.Doc();
    auto start = CBenchClock::now();
    doc->m_pRoot = BuildSet(files);
    std::printf("set of %zu files built in %.0f ms\n", files, MillisecondsSince(start));
    doc->UpdateAllViews();
    CLeftView* tree = window.Tree();
    CExplorerApView* list = window.List();
    wxListCtrl* control = list->GetListCtrl();
    tree->SettleSelection();
    // Every extension's icon is looked up once, before the figures.
    tree->RevealPath("Disk\\warm");
    tree->SettleSelection();
    wxTheApp->Yield();

    start = CBenchClock::now();
    tree->RevealPath("Disk\\big");
    tree->SettleSelection();
    control->Update();
    std::printf("select and fill (details, by name): %.0f ms for %d rows\n", MillisecondsSince(start),
                control->GetItemCount());

    const struct {
      const char* name;
      int column;
    } sorts[] = {{"size", 1}, {"kind", 2}, {"date", 3}, {"note", 4}, {"name", 0}};
    for (const auto& sort : sorts) {
      start = CBenchClock::now();
      ClickColumn(control, sort.column);
      control->Update();
      std::printf("re-sort by %s: %.0f ms\n", sort.name, MillisecondsSince(start));
    }

    control->SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    start = CBenchClock::now();
    ClickColumn(control, 3);
    control->Update();
    std::printf("re-sort by date with every row selected: %.0f ms\n", MillisecondsSince(start));

    if (argc > 2 && std::string(argv[2]) == "--styles") {
      // The icon and list styles lay out every label; informative only.
      start = CBenchClock::now();
      list->SetDisplayStyle(wxLC_LIST);
      control->Update();
      wxTheApp->Yield();
      std::printf("switch to the list style: %.0f ms\n", MillisecondsSince(start));
    }
  }
  return 0;
}
