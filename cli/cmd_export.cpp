// export SET [--catalog LABEL]... --format csv|tsv|efu|jsonl [-o FILE] [--spreadsheet-safe]
//
// Writes the files and folders of the set's catalogs (or those named) as a
// plain list, to standard output or to FILE, which is replaced only once
// the whole list is written. --spreadsheet-safe writes csv or tsv in their
// form for spreadsheet programs (list_format.h).

#include <cstdio>

#include "cli/cli_common.h"
#include "cli/cli_stop.h"
#include "model/list_export.h"

int CmdExport(const std::vector<std::string>& args) {
  std::vector<std::string> positional, catalogs;
  std::string formatName, output;
  bool spreadsheetSafe = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (arg == "--catalog" && i + 1 < args.size())
      catalogs.push_back(ArgText(args[++i]));
    else if (arg == "--format" && i + 1 < args.size())
      formatName = args[++i];
    else if (arg == "-o" && i + 1 < args.size())
      output = args[++i];
    else if (arg == "--spreadsheet-safe")
      spreadsheetSafe = true;
    else
      positional.push_back(arg);
  }
  if (positional.size() != 1) return UsageError("export にはカタログセットのファイルを 1 つ指定してください");
  EListFormat format = EListFormat::Csv;
  if (!ParseListFormat(formatName, format) || format == EListFormat::Find)
    return UsageError("--format には csv, tsv, efu, jsonl のどれかを指定してください");
  if (spreadsheetSafe && !HasSpreadsheetSafeForm(format))
    return UsageError("--spreadsheet-safe は csv と tsv にだけ指定できます");
  const CListStyle style(format, spreadsheetSafe);

  const bool toFile = !output.empty() && output != "-";
  if (const int status = RefuseOutputOverSet(positional[0], output); status != EXIT_OK) return status;

  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(positional[0], set); status != EXIT_OK) return status;
  const std::vector<std::string> missing = MissingCatalogs(*set, catalogs);
  for (const std::string& label : missing) ReportError("カタログが見つかりません: " + LineText(label));
  if (!missing.empty()) return EXIT_NOTHING;
  const std::vector<std::string>* chosen = catalogs.empty() ? nullptr : &catalogs;

  if (!toFile) {
    std::fflush(stdout);
    if (!WriteItemList(1, *set, chosen, style)) {
      ReportError("出力を書き込めませんでした");
      return EXIT_IO;
    }
    return EXIT_OK;
  }
  CatchStopSignals();
  CWorkProgress progress;
  progress.pCancel = &StopFlag();
  ESetFileError error = ESetFileError::None;
  if (WriteItemListFile(output, *set, chosen, style, &error, &progress)) return EXIT_OK;
  if (Stopped()) return StopExitStatus();
  ReportError(WriteErrorText(error, output));
  return EXIT_IO;
}
