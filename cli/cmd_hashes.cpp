// quarrix-cli hashes SET LABEL
//
// Writes the catalog's fingerprints as a checksum file that
// `xxhsum -c` checks (XXH128), run in the catalog's base folder: one line
// per file, "HASH  PATH", PATH relative to that folder with the names'
// bytes as on the medium. A name holding a line break cannot stand in
// such a file (xxhsum reads one name a line, unescaped): it is left out and
// named on stderr. Exit 1 when the catalog has no fingerprints, or when a
// name was left out, so that a script never takes the file for whole.

#include <cstdio>

#include "cli/cli_common.h"
#include "model/item_real_name.h"

int CmdHashes(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("hashes にはカタログセットのファイルとカタログ名を指定してください");
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(args[0], set); status != EXIT_OK) return status;
  const std::string label = ArgText(args[1]);
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(set.get()), label);
  if (item == nullptr || !item->IsCatalog()) {
    ReportError("カタログが見つかりません: " + LineText(label));
    return EXIT_NOTHING;
  }
  const auto& catalog = static_cast<const CDriveFileInfo&>(*item);
  if (catalog.m_fingerprints.Empty()) {
    ReportError("このカタログにはハッシュがありません (add --hash で作るか update --hash で計算してください)");
    return EXIT_NOTHING;
  }
  // Real names joined below the base folder, one folder level at a time.
  std::vector<std::size_t> lengths;
  std::string path, out;
  std::uint32_t offset = 0;
  bool leftOut = false;
  WalkBelow(
      catalog, std::string(catalog.GetName()),
      [&](const CFileInfo& file, const CWalkPath& walkPath) {
        ++offset;
        const std::size_t at = lengths.empty() ? 0 : lengths.back();
        path.resize(at);
        path += RealNameOf(file);
        if (file.IsContainer()) {
          path += '/';
          lengths.push_back(path.size());
          return;
        }
        const auto fingerprint = catalog.m_fingerprints.Find(offset);
        if (!fingerprint) return;
        if (path.find_first_of("\r\n") != std::string::npos) {
          ReportError("改行を含む名前はチェックサムファイルに書けません: " + LineText(walkPath.PathOf(file)));
          leftOut = true;
          return;
        }
        out += fingerprint->Hex() + "  " + path + "\n";
        if (out.size() > 1 << 16) {
          WriteOut(out);
          out.clear();
        }
      },
      [&](const CFolderFileInfo& folder) {
        if (&folder != &catalog) lengths.pop_back();
      });
  WriteOut(out);
  return leftOut ? EXIT_NOTHING : EXIT_OK;
}
