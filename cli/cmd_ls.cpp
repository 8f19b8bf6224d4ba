// ls: the children of a folder, catalog or the set, one tab-separated line each.

#include "cli/cli_common.h"

int CmdLs(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return UsageError("ls にはカタログセットのファイルとパスを指定してください");
  const std::string path = args.size() == 2 ? ArgText(args[1]) : std::string();
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(args[0], set); status != EXIT_OK) return status;
  CItemSummaryList children;
  if (!set->ListChildren(path, children, false)) {
    const std::unique_ptr<CItemSummary> item = set->GetItemSummary(path);
    ReportError((item ? "フォルダではなくファイルです: " : "項目が見つかりません: ") + LineText(path));
    return EXIT_NOTHING;
  }
  std::string line;
  for (const auto& child : children) {
    line = LineText(child->m_strName);
    line += '\t';
    line += LineText(child->m_strSize);
    line += '\t';
    line += LineText(child->m_strTypeName);
    line += '\t';
    line += FormatTime(child->m_timeModified);
    line += '\t';
    line += LineText(child->m_strNote);
    line += '\n';
    WriteOut(line);
  }
  return EXIT_OK;
}
