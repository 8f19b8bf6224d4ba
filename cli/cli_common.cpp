#include "cli/cli_common.h"

#include <cstdio>
#include <filesystem>

#include "cli/cli_args.h"
#include "cli/cli_stop.h"
#include "model/catalog_record.h"
#include "model/catalog_update.h"
#include "model/set_extension.h"
#include "model/set_file.h"
#include "model/text_format.h"
#include "platform/console_text.h"
#include "platform/cp932_codec.h"

namespace {

const char kUsage[] =
    "使い方:\n"
    "  quarrix-cli new SET\n"
    "  quarrix-cli add SET LABEL PATH [PATH...] [--quiet] [--follow-links] [--cross-file-systems]"
    " [--exclude PATTERN]... [--hash] [--archives] [--archive-depth N]\n"
    "  quarrix-cli update SET LABEL [PATH] [--paths P...] [--follow-links] [--cross-file-systems]"
    " [--exclude PATTERN]... [--force] [--dry-run] [--quiet] [--hash] [--archives] [--archive-depth N]\n"
    "  quarrix-cli dump SET\n"
    "  quarrix-cli copy IN OUT\n"
    "  quarrix-cli ls SET... [PATH]\n"
    "  quarrix-cli find SET... [--from PATH] [--name PATTERN] [--note PATTERN] [--size LOW_KB HIGH_KB]"
    " [--date FROM TO] [--exact] [--case] [--width] [--kana] [--json | --real-path]\n"
    "  quarrix-cli info SET... [PATH...]\n"
    "  quarrix-cli note SET --text TEXT PATH...\n"
    "  quarrix-cli rm SET LABEL\n"
    "  quarrix-cli report SET OUT [--catalog LABEL]... [--columns kind,size,createTime,modifiedTime,attribute,note]"
    " [--members]\n"
    "  quarrix-cli identify SET [SET...] PATH\n"
    "  quarrix-cli export SET [--catalog LABEL]... --format csv|tsv|efu|jsonl [-o FILE] [--spreadsheet-safe]\n"
    "  quarrix-cli import SET LABEL FILE --format csv|tsv|efu|jsonl|find [--base PATH] [--skip-bad]\n"
    "  quarrix-cli verify SET LABEL [PATH] [--json] [--quiet] [--force]\n"
    "  quarrix-cli hashes SET LABEL\n"
    "  quarrix-cli copies SET... [--catalog LABEL]... [--fewer-than N] [--by content|name-size|size]"
    " [--min-size BYTES] [--summary] [--json]\n"
    "  quarrix-cli dupes SET... [--min-size BYTES] [--by content|name-size|size] [--json]\n"
    "ls、find、info、copies、dupes は複数のカタログセットを読めます。各行はカタログセットのファイル名で始まります "
    "(JSON では set)。\n"
    "出力は UTF-8 です (Windows のコンソールには文字として表示します)。\n"
    "オプションはコマンドの後のどこにでも置けます。-- より後はオプションとみなしません。\n"
    "report の OUT に - を指定すると標準出力に書き出します。--members は一覧にしたアーカイブの中身も書き出します。\n"
    "find --real-path は実際のパスをバイトのまま出力します。--json では、UTF-8 でない実際のパスは real_path が null "
    "になり、"
    "real_path_bytes に base64 で入ります。\n"
    "ラベルに「\\」を含むカタログ（他のプログラムで作られたもの）も ls に出るとおりのラベルで指定できます。\n"
    "export は標準出力に書き出します（-o FILE ではそのファイルに）。csv は BOM 付きの UTF-8 で、列は catalog, path, "
    "name,"
    " kind, size, modified, created, attributes, note, xxh128 です。tsv は同じ列で、タブ・改行・復帰・「\\」を"
    " \\t \\n \\r \\\\ と書きます。時刻は UTC の ISO 8601 で小数 7 桁まで書きます。efu はファイル検索ツール"
    " Everything の一覧です。jsonl は find --json と同じ項目の JSON を 1 行に 1 つ書きます。"
    "--spreadsheet-safe (csv と tsv) は、表計算ソフトが数式として実行しないよう、= + - @ (またはタブ・復帰) で"
    "始まる欄の前に ' を付けます。その名前は元のとおりには import できません。\n"
    "import の FILE に - を指定すると標準入力から読みます。他のマシンでは次のコマンドで find 形式の一覧を作れます:\n"
    "  find DIR -printf '%y\\t%s\\t%T@\\t%P\\n' > LIST\n"
    "読めない行があると行番号を示して何も追加しません。--skip-bad はその行を除いて追加します。"
    "efu などの絶対パスは --base PATH より下のパスとして読みます。\n"
    "--hash はファイルの内容のハッシュ (XXH128、xxhsum -H2 と同じ値) を計算して記録します。"
    "update は変わったファイルだけを読み直します。\n"
    "--archives はアーカイブ (zip、7z、rar、lzh、cab、tar、iso) の中身も一覧にし、ls や find で"
    "「CATALOG\\dir\\a.zip\\中のファイル」として見られるようにします。"
    "--archive-depth N はアーカイブの中のアーカイブを N 段目まで一覧にします (既定 1)。"
    "update は同じように一覧にし、変わっていないアーカイブは読み直しません。find --json の in_archive は"
    "アーカイブの中のものを示します。\n"
    "hashes は xxhsum -c で確かめられるチェックサムファイルを標準出力に書き出します "
    "(カタログの基本パスで実行してください)。改行を含む名前のファイルは書けないため、標準エラーに示します。\n"
    "verify --force は別のメディアでも検証します (カタログは変えません)。\n"
    "add、update、copy、note、rm、import は、記録 (メディアと作成方法、ハッシュ、アーカイブの中身など) の一部が"
    "壊れているか新しい版の形式のカタログセットを、記録を失わないよう保存しません (終了コード 4)。"
    "--drop-damaged-records を指定すると、読めた記録だけで保存します。\n"
    "終了コード: 0 成功, 1 該当なし・変更なし, 2 引数の誤り, 3 カタログセットではない・一覧として読めない, 4 "
    "読み書きできない\n"
    "copies と dupes はハッシュが両方にあればハッシュで、なければ名前 (NFC)、サイズ、更新日時 (秒まで) で"
    "コピーを見分けます (推定)。空のファイルとリンクは数えません。copies は N 未満のメディアにしかないファイルを"
    "挙げます (既定 2: このメディアだけ。同じメディア内のコピーは数えません)。カタログ ID かメディアの ID が"
    "同じカタログ、ID のないものはラベル、作成日時、合計サイズが同じカタログを 1 つのメディアとして数えます。\n"
    "verify の終了コード: 0 すべて一致, 1 違いがある, 5 壊れたファイルか読めないファイルがある "
    "(4 メディアがない・別のメディア)\n"
    "hashes の終了コード: 1 ハッシュがない・書けない名前があった\n";

void ReportWaiting() { ReportError(kWaitingForOtherProgramMessage); }

CSaveArgs g_saveArgs;

// What a damaged block cost.
std::string DamageText(const CExtensionDamage& damage) {
  std::string text;
  const auto add = [&](const std::string& part) { text += (text.empty() ? "" : "、") + part; };
  if (damage.bStart) add("記録の先頭が壊れています");
  if (damage.bCutShort) add("途中で切れています");
  if (damage.nLost != 0)
    add("読めない記録 " + FormatCount(damage.nLost) + (damage.bCountKnown ? " 件" : " 件以上"));
  else if (damage.nUnreadBytes != 0)
    add("読めない部分 " + FormatCount(damage.nUnreadBytes) + " バイト");
  add("読めた記録 " + FormatCount(damage.nKept) + " 件");
  return text;
}

int ExitStatusFor(ESetFileError error) {
  if (error == ESetFileError::None) return EXIT_OK;
  if (IsMalformed(error) || error == ESetFileError::EmptyFile) return EXIT_MALFORMED;
  return EXIT_IO;
}

}  // namespace

std::string ArgText(const std::string& arg) { return SanitizeUtf8(arg); }

std::string SetFileErrorText(ESetFileError error, const std::string& path) {
  const std::string shown = SanitizeUtf8(path);
  switch (error) {
    case ESetFileError::None: return {};
    case ESetFileError::EndOfFile:
    case ESetFileError::BadIndex:
    case ESetFileError::BadClass:
    case ESetFileError::BadObject:
    case ESetFileError::NameTooLong:
    case ESetFileError::BadString: return "予期しないﾌｧｲﾙ形式です。カタログセットとして読めません: " + shown;
    case ESetFileError::EmptyFile: return "ファイルが空です: " + shown;
    case ESetFileError::NotFound: return "ファイルが見つかりません: " + shown;
    case ESetFileError::AccessDenied: return "ファイルにアクセスできません: " + shown;
    case ESetFileError::DiskFull: return "ディスクがいっぱいです: " + shown;
    case ESetFileError::ReadFailure:
    case ESetFileError::WriteFailure: return "ファイルの読み書きに失敗しました: " + shown;
    case ESetFileError::NotRegularFile: return "通常のファイルではないため書き込めません: " + shown;
    case ESetFileError::BrokenLink: return "リンク先が存在しないため書き込めません: " + shown;
    case ESetFileError::AlreadyExists: return "ファイルが既に存在します: " + shown;
    case ESetFileError::ChangedOnDisk: return "他のプログラムによって変更されたため書き込みませんでした: " + shown;
    case ESetFileError::Cancelled: return "中止しました。ファイルは変更されていません: " + shown;
  }
  return "ファイルの読み書きに失敗しました: " + shown;
}

std::string WriteErrorText(ESetFileError error, const std::string& path) {
  if (error != ESetFileError::AccessDenied || IsReadOnlyFile(path)) return SetFileErrorText(error, path);
  std::error_code failed;
  const std::filesystem::path folder = std::filesystem::absolute(path, failed).parent_path();
  return "フォルダに書き込めないため保存できません: " + SanitizeUtf8(failed ? path : folder.string());
}

int LoadSetForCli(const std::string& path, std::unique_ptr<CRootFileInfo>& set, bool createIfMissing) {
  const ESetFileError error = ReadSetFile(path, set);
  const std::string name = SanitizeUtf8(MakeSetName(path));
  if (error == ESetFileError::NotFound && createIfMissing) {
    set = std::make_unique<CRootFileInfo>(name);
    return EXIT_OK;
  }
  if (error != ESetFileError::None) {
    set.reset();
    ReportError(SetFileErrorText(error, path));
    return ExitStatusFor(error);
  }
  set->m_strSetName = name;
  if (const char* notice = ExtensionNotice(set->m_extensionState)) {
    const bool damaged = set->m_extensionState == EExtensionState::Damaged;
    ReportError(notice + (damaged ? " (" + DamageText(set->m_extensionDamage) + ")" : std::string()));
  }
  return EXIT_OK;
}

int LoadSetForChange(const std::string& path, std::unique_ptr<CRootFileInfo>& set, CReplaceLock& lock,
                     bool createIfMissing) {
  CatchStopSignals();
  lock.Acquire(path, ReportWaiting, &StopFlag());
  if (Stopped()) return StopExitStatus();
  return LoadSetForCli(path, set, createIfMissing);
}

void SetSaveArgs(const CSaveArgs& save) { g_saveArgs = save; }

int CheckSaveKeepsRecords(const CRootFileInfo& set, const std::string& path) {
  if (!SaveDropsRecords(set.m_extensionState) || g_saveArgs.bDropDamagedRecords) return EXIT_OK;
  const bool later = set.m_extensionState == EExtensionState::Unsupported;
  ReportError(
      std::string(later ? "保存すると新しい版の形式の記録が失われるため" : "保存すると読めなかった記録が失われるため") +
      "、保存しませんでした: " + SanitizeUtf8(path));
  WriteErr(std::string(later ? "記録を捨てて" : "読めた記録だけで") +
           "保存するには --drop-damaged-records を指定してください\n");
  return EXIT_IO;
}

int SaveSetForCli(const std::string& path, const CRootFileInfo& set, ECliSave how) {
  if (const int status = CheckSaveKeepsRecords(set, path); status != EXIT_OK) return status;
  CatchStopSignals();
  CWorkProgress progress;
  progress.pCancel = &StopFlag();
  CSaveOptions options;
  options.bLockHeld = how == ECliSave::LockHeld;
  options.bCreateOnly = how == ECliSave::CreateOnly;
  options.pfnWaiting = ReportWaiting;
  const ESetFileError error = WriteSetFile(path, set, &progress, options);
  if (error == ESetFileError::None && SaveDropsRecords(set.m_extensionState))
    WriteErr("読めなかった記録を捨てて保存しました\n");
  if (error == ESetFileError::None) return EXIT_OK;
  // A signal that came after the file was replaced did not stop the save.
  if (Stopped()) return StopExitStatus();
  ReportError(WriteErrorText(error, path));
  return EXIT_IO;  // whatever the cause, the file was not written
}

int RefuseOutputOverSet(const std::string& setPath, const std::string& output) {
  if (output.empty() || output == "-" || !IsSameFile(setPath, output)) return EXIT_OK;
  return UsageError("出力ファイルが読み込むカタログセットと同じです: " + ArgText(output));
}

void ReportError(const std::string& text) { WriteErr("quarrix-cli: " + text + "\n"); }

int UsageError(const std::string& text) {
  ReportError(text);
  PrintUsage(stderr);
  return EXIT_USAGE;
}

void PrintUsage(std::FILE* out) { WriteText(out, kUsage); }

bool PrintCommandUsage(std::FILE* out, const std::string& command) {
  // The command's own lines of the usage, so the two never disagree: its
  // usage, the exit statuses all commands share, and its own, if any.
  const std::string usage = kUsage, prefix = "  quarrix-cli " + command + " ";
  const std::string shared = "終了コード:", own = command + " の" + shared;
  std::string lines, statuses;
  for (std::size_t at = 0; at < usage.size();) {
    const std::size_t end = usage.find('\n', at);
    const std::string line = usage.substr(at, end - at + 1);
    if (line.compare(0, prefix.size(), prefix) == 0) lines += line;
    if (line.compare(0, shared.size(), shared) == 0 || line.compare(0, own.size(), own) == 0) statuses += line;
    at = end + 1;
  }
  if (lines.empty()) return false;
  if (CommandSavesSet(command)) {
    const std::size_t at = usage.rfind('\n', usage.find("--drop-damaged-records を指定すると")) + 1;
    lines += usage.substr(at, usage.find('\n', at) - at + 1);
  }
  WriteText(out, "使い方:\n" + lines + statuses);
  return true;
}

std::string LineText(std::string_view text) {
  const std::string valid = SanitizeUtf8(text);
  std::string out;
  out.reserve(valid.size());
  for (const char c : valid) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F)
      out += "\xEF\xBF\xBD";
    else
      out += c;
  }
  return out;
}

void WriteText(std::FILE* stream, std::string_view text) {
  if (!WriteConsoleText(stream, text)) std::fwrite(text.data(), 1, text.size(), stream);
}
void WriteOut(std::string_view text) { WriteText(stdout, text); }
void WriteErr(std::string_view text) { WriteText(stderr, text); }

bool ReportMissingPaths(const CRootFileInfo& set, const std::vector<std::string>& paths) {
  bool missing = false;
  for (const std::string& path : paths) {
    if (FindByPath(static_cast<const CFileInfo*>(&set), path) == nullptr) {
      ReportError("項目が見つかりません: " + LineText(path));
      missing = true;
    }
  }
  return missing;
}

void ReportUnhashed(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  std::string text = "内容を読めなかったファイル (ハッシュなし) " + FormatCount(paths.size()) + " 件:\n";
  for (const std::string& path : paths) text += "  " + LineText(path) + "\n";
  WriteErr(text);
}

void ReportUnlisted(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  std::string text = "開けなかったアーカイブ (中身の一覧なし) " + FormatCount(paths.size()) + " 件:\n";
  for (const std::string& path : paths) text += "  " + LineText(path) + "\n";
  WriteErr(text);
}

bool ParseArchiveDepth(const std::string& value, int& depth) {
  if (value.empty() || value.size() > 2 || value.find_first_not_of("0123456789") != std::string::npos) return false;
  depth = std::stoi(value);
  return depth >= 1 && depth <= kMaxArchiveDepth;
}

void ReportUnreadable(const CUnreadableSummary& unreadable) {
  if (unreadable.nCount == 0) return;
  std::string text = "読めなかった場所 " + FormatCount(unreadable.nCount) + " 件:\n";
  for (const std::string& path : unreadable.firstPaths) text += "  " + LineText(path) + "\n";
  if (unreadable.nCount > unreadable.firstPaths.size()) text += "  ...\n";
  WriteErr(text);
}

int CheckNewLabel(const std::string& label) {
  if (label.empty()) {
    ReportError("ラベルが空です。カタログ名を指定してください");
    return EXIT_USAGE;
  }
  if (label.find('\\') != std::string::npos) {
    ReportError(kLabelSeparatorMessage);
    return EXIT_USAGE;
  }
  return EXIT_OK;
}

bool ReportLabelTaken(const CRootFileInfo& set, const std::string& label) {
  if (FindByPath(static_cast<const CFileInfo*>(&set), label) == nullptr) return false;
  WriteErr("カタログを追加できませんでした\n既に存在する名前を指定していないか確かめてください\n");
  return true;
}

void PrintNewCatalog(const CDriveFileInfo& catalog) {
  std::uint64_t bytes = 0;
  catalog.SumContentSizes(bytes);
  WriteOut(LineText(catalog.m_strLabel) + "\t" + LineText(catalog.m_strMediaType) + "\t" +
           std::to_string(CountItemsBelow(catalog)) + "\t" + std::to_string(bytes) + "\n");
}

// Whether the place may be scanned for catalog: the same medium, or --force.
bool MediumAccepted(const CDriveFileInfo& catalog, const std::string& place, const CMediumAcceptance& how,
                    CMediumVerdict* judged) {
  const CMediumVerdict verdict = JudgeMedium(catalog, place);
  if (judged != nullptr) *judged = verdict;
  const std::string label = LineText(catalog.m_strLabel);
  if (!verdict.Refused()) {
    // Said when the medium was not known by its identity: the user may know better.
    if (verdict.eBasis == EMediumBasis::Sample)
      WriteErr("「" + label + "」のメディアはファイルの見本で確かめました: " + VerdictBasisText(verdict) + "\n");
    else if (verdict.eCheck == EMediumCheck::Unknown)
      WriteErr("この場所のメディアが「" + label + "」のものか確かめられません: " + LineText(place) + "\n");
    return true;
  }
  const bool otherPlace = verdict.eCheck == EMediumCheck::OtherPlace;
  if (otherPlace && how.bPathsGiven) return true;
  std::string text = verdict.eCheck == EMediumCheck::Absent
                         ? "「" + label + "」のメディアが接続されていません: " + LineText(place)
                     : otherPlace ? "この場所は「" + label +
                                        "」のメディアの、カタログを作った場所とは別のフォルダです: " + LineText(place) +
                                        "\nカタログの場所: " + LineText(catalog.m_strCatalogedPath)
                                  : "この場所には「" + label + "」とは別のメディアがあります: " + LineText(place);
  text += "\n" + LineText(VerdictDifferenceText(verdict)) + "\n";
  if (how.bForce) {
    WriteErr(text + "--force が指定されたので" + how.strAction + "します\n");
    return true;
  }
  std::string advice = "それでも" + how.strAction + "するには --force を";
  if (otherPlace && how.bPathsAccepted) advice = "一部だけを" + how.strAction + "するには --paths を、" + advice;
  ReportError(text + how.strAction + "しませんでした (" + advice + "指定してください)");
  return false;
}

std::string SetFileLabel(const std::string& path) { return LineText(std::filesystem::path(path).filename().string()); }

std::vector<std::string> TakeSetOperands(std::vector<std::string>& operands) {
  std::size_t count = operands.empty() ? 0 : 1;
  const auto isSet = [](const std::string& operand) {
    std::error_code error;
    std::string end = operand.size() > 4 ? operand.substr(operand.size() - 4) : std::string();
    for (char& c : end) c = char(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
    return end == ".fcf" && std::filesystem::is_regular_file(operand, error);
  };
  while (count < operands.size() && isSet(operands[count])) ++count;
  std::vector<std::string> sets(operands.begin(), operands.begin() + std::ptrdiff_t(count));
  operands.erase(operands.begin(), operands.begin() + std::ptrdiff_t(count));
  return sets;
}
