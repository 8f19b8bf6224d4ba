// The commands that change a set: notes and removing a catalog.

#include <optional>

#include "cli/cli_common.h"

int CmdNote(const std::vector<std::string>& args) {
  std::optional<std::string> setPath, text;
  std::vector<std::string> paths;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--text") {
      if (text) return UsageError("--text が 2 回指定されています");
      if (i + 1 >= args.size()) return UsageError("--text の値がありません");
      text = ArgText(args[++i]);
    } else if (options && arg.rfind("--", 0) == 0) {
      return UsageError("不明な引数です: " + ArgText(arg));
    } else if (!setPath) {
      setPath = arg;
    } else {
      paths.push_back(ArgText(arg));
    }
  }
  if (!setPath || !text || paths.empty()) return UsageError("note にはファイル、--text とパスを指定してください");

  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;
  if (const int status = LoadSetForChange(*setPath, set, lock); status != EXIT_OK) return status;
  // All or nothing: a mistyped path must not leave the other notes half done.
  if (ReportMissingPaths(*set, paths)) return EXIT_NOTHING;
  if (!set->SetNotes(paths, *text)) return EXIT_NOTHING;
  return SaveSetForCli(*setPath, *set, ECliSave::LockHeld);
}

int CmdRm(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("rm にはカタログセットのファイルとカタログ名を指定してください");
  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;
  if (const int status = LoadSetForChange(args[0], set, lock); status != EXIT_OK) return status;
  const std::string label = ArgText(args[1]);
  if (!set->RemoveCatalog(label)) {
    ReportError("カタログが見つかりません: " + LineText(label));
    return EXIT_NOTHING;
  }
  return SaveSetForCli(args[0], *set, ECliSave::LockHeld);
}
