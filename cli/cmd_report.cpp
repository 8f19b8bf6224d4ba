// report: the set, or chosen catalogs, as an HTML report.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "cli/cli_common.h"

namespace {

// Turns the comma-separated column names on; false for an unknown name.
bool ParseColumns(const std::string& list, CatalogOutOptions& options, std::string& unknown) {
  std::int32_t* flags[] = {&options.kind,         &options.size,      &options.createTime,
                           &options.modifiedTime, &options.attribute, &options.note};
  const char* const names[] = {"kind", "size", "createTime", "modifiedTime", "attribute", "note"};
  for (std::int32_t* flag : flags) *flag = 0;
  std::istringstream in(list);
  std::string name;
  while (std::getline(in, name, ',')) {
    if (name.empty()) continue;
    bool known = false;
    for (std::size_t i = 0; i < std::size(names); ++i)
      if (name == names[i]) *flags[i] = 1, known = true;
    if (!known) {
      unknown = name;
      return false;
    }
  }
  return true;
}

}  // namespace

int CmdReport(const std::vector<std::string>& args) {
  std::vector<std::string> positional, catalogs;
  CatalogOutOptions options;
  bool chosen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") {
      positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (args[i] == "--catalog" || args[i] == "--columns") {
      if (i + 1 == args.size()) return UsageError(args[i] + " には値を指定してください");
      const std::string value = ArgText(args[++i]);
      std::string unknown;
      if (args[i - 1] == "--catalog") {
        catalogs.push_back(value);
        chosen = true;
      } else if (!ParseColumns(value, options, unknown)) {
        return UsageError("不明な列です: " + unknown);
      }
    } else if (args[i] == "--members") {
      options.members = 1;
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return UsageError("report にはカタログセットと出力ファイルを指定してください");
  const bool toStdout = positional[1] == "-";
  if (const int status = RefuseOutputOverSet(positional[0], positional[1]); status != EXIT_OK) return status;
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(positional[0], set); status != EXIT_OK) return status;
  // A misspelt label would otherwise give an empty report and success.
  bool missing = false;
  for (const std::string& label : catalogs) {
    const auto& all = set->Children();
    if (std::none_of(all.begin(), all.end(), [&label](const auto& child) { return child->GetName() == label; })) {
      ReportError("カタログが見つかりません: " + LineText(label));
      missing = true;
    }
  }
  if (missing) return EXIT_NOTHING;
  if (toStdout) {
    std::fflush(stdout);
    if (set->WriteHtmlReportTo(STDOUT_FILENO, chosen ? &catalogs : nullptr, options)) return EXIT_OK;
    ReportError("カタログ情報を標準出力に書き出せませんでした");
    return EXIT_IO;
  }
  ESetFileError error = ESetFileError::None;
  if (!set->WriteHtmlReport(positional[1], chosen ? &catalogs : nullptr, options, &error)) {
    ReportError("カタログ情報の出力に失敗しました。" + WriteErrorText(error, positional[1]));
    return EXIT_IO;
  }
  return EXIT_OK;
}
