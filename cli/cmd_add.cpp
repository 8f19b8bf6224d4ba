// quarrix-cli add SET LABEL PATH [PATH...]
//
// Scans one path (as a picked folder or file) or several (as dropped ones)
// into a new catalog, creating SET when it does not exist, and saves it.
// Prints one line for the new catalog:
//   LABEL<TAB>MEDIA TYPE<TAB>ITEMS<TAB>BYTES
// ITEMS counts every file and folder below the catalog, BYTES sums the
// sizes of its files.

#include <cstdint>
#include <cstdio>

#include "cli/cli_common.h"

namespace {

class CStderrSink : public CMessageSink {
 public:
  void ShowMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

std::uint64_t CountItems(const CFolderFileInfo& catalog) {
  std::uint64_t count = 0;
  std::vector<const CFolderFileInfo*> pending{&catalog};
  while (!pending.empty()) {
    const CFolderFileInfo* folder = pending.back();
    pending.pop_back();
    count += folder->Children().size();
    for (const auto& child : folder->Children())
      if (child->IsContainer()) pending.push_back(static_cast<const CFolderFileInfo*>(child.get()));
  }
  return count;
}

}  // namespace

int CmdAdd(const std::vector<std::string>& args) {
  if (args.size() < 3) return UsageError("add にはカタログセットのファイル、カタログ名とパスを指定してください");
  const std::string& setPath = args[0];
  const std::string label = ArgText(args[1]);
  if (label.find('\\') != std::string::npos) {
    ReportError(kLabelSeparatorMessage);
    return EXIT_USAGE;
  }
  // Paths stay as given: they name real files, whatever their bytes.
  const std::vector<std::string> paths(args.begin() + 2, args.end());

  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;
  if (const int status = LoadSetForChange(setPath, set, lock, true); status != EXIT_OK) return status;

  CStderrSink sink;
  const CDriveFileInfo* catalog =
      paths.size() == 1 ? set->AddCatalog(label, paths[0]) : set->AddCatalogFromPaths(label, paths, sink);
  if (catalog == nullptr) {
    std::fprintf(stderr, "カタログを追加できませんでした\n既に存在する名前を指定していないか確かめてください\n");
    return EXIT_NOTHING;
  }
  if (const int status = SaveSetForCli(setPath, *set); status != EXIT_OK) return status;

  std::uint64_t bytes = 0;
  catalog->SumContentSizes(bytes);
  WriteOut(LineText(catalog->m_strLabel) + "\t" + LineText(catalog->m_strMediaType) + "\t" +
           std::to_string(CountItems(*catalog)) + "\t" + std::to_string(bytes) + "\n");
  return EXIT_OK;
}
