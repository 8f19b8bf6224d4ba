// ls SET... [PATH]: the children of a folder, catalog or the set, one
// tab-separated line each; with several sets, each line starts with the
// set's file name, and sets without PATH are passed over.

#include "cli/cli_common.h"

namespace {

void WriteChildren(const CItemSummaryList& children, const std::string& prefix) {
  std::string line;
  for (const auto& child : children) {
    line = prefix + LineText(child->m_strName);
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
}

}  // namespace

int CmdLs(const std::vector<std::string>& args) {
  std::vector<std::string> operands = args;
  const std::vector<std::string> sets = TakeSetOperands(operands);
  if (sets.empty() || operands.size() > 1) return UsageError("ls にはカタログセットのファイルとパスを指定してください");
  const std::string path = operands.empty() ? std::string() : ArgText(operands[0]);
  bool listed = false;
  std::string problem;
  for (const std::string& setPath : sets) {
    std::unique_ptr<CRootFileInfo> set;
    if (const int status = LoadSetForCli(setPath, set); status != EXIT_OK) return status;
    CItemSummaryList children;
    if (!set->ListChildren(path, children, false)) {
      const std::unique_ptr<CItemSummary> item = set->GetItemSummary(path);
      problem = (item ? "フォルダではなくファイルです: " : "項目が見つかりません: ") + LineText(path);
      continue;
    }
    listed = true;
    WriteChildren(children, sets.size() > 1 ? SetFileLabel(setPath) + ": " : std::string());
  }
  if (listed) return EXIT_OK;
  ReportError(problem);
  return EXIT_NOTHING;
}
