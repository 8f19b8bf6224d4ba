// Whole-set commands: making an empty set and writing a set again.

#include "cli/cli_common.h"
#include "model/set_file.h"
#include "platform/cp932_codec.h"

int CmdNew(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("new にはカタログセットのファイルを 1 つ指定してください");
  const std::string& path = args[0];
  // A new set over an existing file would throw away every catalog in it,
  // even one that appears while the new set is written.
  const CRootFileInfo set(SanitizeUtf8(MakeSetName(path)));
  return SaveSetForCli(path, set, ECliSave::CreateOnly);
}

int CmdCopy(const std::vector<std::string>& args) {
  if (args.size() != 2) return UsageError("copy には読み込むファイルと書き出すファイルを指定してください");
  if (const int status = RefuseOutputOverSet(args[0], args[1]); status != EXIT_OK) return status;
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(args[0], set); status != EXIT_OK) return status;
  return SaveSetForCli(args[1], *set, ECliSave::Replace);
}
