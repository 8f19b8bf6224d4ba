// import SET LABEL FILE --format csv|tsv|efu|jsonl|find [--base PATH] [--skip-bad]
//
// Makes a new catalog of a plain list (FILE, or standard input for "-") and
// adds it to SET, creating SET when it does not exist. Bad rows are named
// with their line numbers; then nothing is added unless --skip-bad leaves
// them out. Prints one line for the new catalog, as add does.

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/cli_common.h"
#include "model/limits.h"
#include "model/list_import.h"
#include "model/text_format.h"

namespace {

std::string ProblemText(EImportProblem problem) {
  switch (problem) {
    case EImportProblem::BadQuoting: return "引用符の使い方が正しくありません";
    case EImportProblem::BadEscape: return "「\\」の後に使えない文字があります";
    case EImportProblem::BadJson: return "JSON のオブジェクトとして読めません";
    case EImportProblem::BadNumber: return "数値として読めません";
    case EImportProblem::BadTime: return "日時として読めません";
    case EImportProblem::BadFingerprint: return "ハッシュ (XXH128) として読めません";
    case EImportProblem::BadKind: return "種類として読めません";
    case EImportProblem::BadPath: return "パスが空か、空の名前、. や ..、「/」を含む名前があります";
    case EImportProblem::Duplicate: return "同じパスが既にあります";
    case EImportProblem::UnderAFile: return "ファイルの下にあるパスです";
    case EImportProblem::MissingColumn: return "見出しの行にパスの列がありません";
    case EImportProblem::FieldCount: return "4 つの欄がありません";
    case EImportProblem::NulCharacter: return "名前かノートに NUL 文字があります";
    case EImportProblem::TooDeep: return "フォルダーの階層が深すぎます (" + std::to_string(kMaxDepth) + " 階層まで)";
    case EImportProblem::PathTooLong: return "パスが長すぎます (" + FormatCount(kMaxPathBytes) + " バイトまで)";
    case EImportProblem::NameMerges: return "長すぎる名前を短くすると、別の名前と同じになります";
    case EImportProblem::LineTooLong: return "行が長すぎます (" + FormatCount(kMaxImportLineBytes) + " バイトまで)";
    case EImportProblem::NameCut:
      return "名前が長すぎるため、" + FormatCount(kMaxNameBytes) + " バイトまでに短くしました";
    case EImportProblem::NoteCut:
      return "ノートが長すぎるため、" + FormatCount(kMaxNoteBytes) + " バイトまでに短くしました";
  }
  return "読めません";
}

bool ReadInput(const std::string& path, std::string& text) {
  std::ostringstream out;
  if (path == "-") {
    out << std::cin.rdbuf();
  } else {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out << in.rdbuf();
    if (in.bad()) return false;
  }
  text = out.str();
  return true;
}

constexpr std::size_t kProblemsShown = 100;

}  // namespace

int CmdImport(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  std::string formatName, base;
  bool skipBad = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    if (arg == "--format" && i + 1 < args.size())
      formatName = args[++i];
    else if (arg == "--base" && i + 1 < args.size())
      base = args[++i];
    else if (arg == "--skip-bad")
      skipBad = true;
    else
      positional.push_back(arg);
  }
  if (positional.size() != 3)
    return UsageError("import にはカタログセットのファイル、カタログ名と一覧のファイルを指定してください");
  CImportOptions options;
  if (!ParseListFormat(formatName, options.eFormat))
    return UsageError("--format には csv, tsv, efu, jsonl, find のどれかを指定してください");
  const std::string& setPath = positional[0];
  options.strLabel = ArgText(positional[1]);
  options.strBase = ArgText(base);
  if (const int status = CheckNewLabel(options.strLabel); status != EXIT_OK) return status;
  std::string text;
  if (!ReadInput(positional[2], text)) {
    ReportError("一覧のファイルを読めません: " + LineText(positional[2]));
    return EXIT_IO;
  }

  CImportResult imported = ImportItemList(text, options);
  const std::vector<CImportProblem>& problems = imported.problems;
  for (std::size_t i = 0; i < imported.cuts.size() && i < kProblemsShown; ++i)
    ReportError(std::to_string(imported.cuts[i].nLine) + " 行目: " + ProblemText(imported.cuts[i].eWhat));
  if (imported.cuts.size() > kProblemsShown)
    ReportError("ほかに " + FormatCount(imported.cuts.size() - kProblemsShown) + " 行の名前かノートを短くしました");
  for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
    ReportError(std::to_string(problems[i].nLine) + " 行目: " + ProblemText(problems[i].eWhat));
  if (problems.size() > kProblemsShown)
    ReportError("ほかに " + FormatCount(problems.size() - kProblemsShown) + " 行が読めません");
  if (!problems.empty() && !skipBad) {
    ReportError("読めない行があるため、カタログを追加しませんでした（--skip-bad でその行を除いて追加します）");
    return EXIT_MALFORMED;
  }
  // Every row left out leaves nothing to add: an empty catalog would pass for a listed medium.
  if (!problems.empty() && imported.catalog->Children().empty()) {
    ReportError("読める行がないため、カタログを追加しませんでした");
    return EXIT_MALFORMED;
  }

  std::unique_ptr<CRootFileInfo> set;
  CReplaceLock lock;
  if (const int status = LoadSetForChange(setPath, set, lock, true); status != EXIT_OK) return status;
  if (ReportLabelTaken(*set, options.strLabel)) return EXIT_NOTHING;
  const CDriveFileInfo* catalog = set->AppendCatalog(std::move(imported.catalog), std::time(nullptr));
  if (const int saved = SaveSetForCli(setPath, *set, ECliSave::LockHeld); saved != EXIT_OK) return saved;
  PrintNewCatalog(*catalog);
  return EXIT_OK;
}
