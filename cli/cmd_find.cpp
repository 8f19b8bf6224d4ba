// find: the items below a start path that match a name, note, size range
// or modification-date range, one logical path per line in walk order.

#include <cstdint>
#include <optional>

#include "cli/cli_common.h"
#include "model/search_match.h"

namespace {

enum class ECriterion { None, Name, Note, Size, Date };

// An unsigned decimal with optional blanks around it and an optional plus
// sign; values past 32 bits are taken as the largest bound.
bool ParseSizeBound(const std::string& text, std::uint32_t& out) {
  std::size_t i = 0;
  const auto blank = [&text](std::size_t at) { return at < text.size() && (text[at] == ' ' || text[at] == '\t'); };
  while (blank(i)) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  const std::size_t digits = i;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + std::uint64_t(text[i] - '0');
    if (value > UINT32_MAX) value = UINT32_MAX;
  }
  if (i == digits) return false;
  while (blank(i)) ++i;
  if (i != text.size()) return false;
  out = std::uint32_t(value);
  return true;
}

std::optional<CTime> DateBound(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return ParseDateBound(ArgText(text));
}

}  // namespace

int CmdFind(const std::vector<std::string>& args) {
  std::optional<std::string> setPath, from;
  ECriterion criterion = ECriterion::None;
  std::string pattern, low, high;
  bool exact = false, caseSensitive = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::size_t operands = arg == "--from" || arg == "--name" || arg == "--note" ? 1
                                 : arg == "--size" || arg == "--date"                ? 2
                                                                                     : 0;
    if (i + operands >= args.size()) return UsageError(arg + " の値がありません");
    if (arg == "--from") {
      if (from) return UsageError("--from が 2 回指定されています");
      from = ArgText(args[++i]);
    } else if (operands != 0) {
      if (criterion != ECriterion::None) return UsageError("検索の条件は 1 つだけ指定してください");
      criterion = arg == "--name"   ? ECriterion::Name
                  : arg == "--note" ? ECriterion::Note
                  : arg == "--size" ? ECriterion::Size
                                    : ECriterion::Date;
      if (operands == 1) {
        pattern = ArgText(args[++i]);
      } else {
        low = args[++i];
        high = args[++i];
      }
    } else if (arg == "--exact") {
      exact = true;
    } else if (arg == "--case") {
      caseSensitive = true;
    } else if (arg.rfind("--", 0) == 0 || setPath) {
      return UsageError("不明な引数です: " + ArgText(arg));
    } else {
      setPath = arg;
    }
  }
  if (!setPath) return UsageError("find にはカタログセットのファイルを指定してください");
  if (criterion == ECriterion::None) return UsageError("--name, --note, --size, --date のどれかを指定してください");
  if ((exact || caseSensitive) && criterion != ECriterion::Name && criterion != ECriterion::Note)
    return UsageError("--exact と --case は --name か --note と使います");
  std::uint32_t lowKB = 0, highKB = 0;
  if (criterion == ECriterion::Size && (!ParseSizeBound(low, lowKB) || !ParseSizeBound(high, highKB)))
    return UsageError("サイズには 0 以上の整数を KB で指定してください");

  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(*setPath, set); status != EXIT_OK) return status;
  const std::string start = from.value_or(std::string());
  // The search then covers the whole set; say so, since results come from elsewhere.
  if (FindByPath(static_cast<const CFileInfo*>(set.get()), start) == nullptr)
    ReportError("開始位置が見つからないため、カタログセット全体を検索します: " + LineText(start));
  CItemSummaryList found;
  switch (criterion) {
    case ECriterion::Name: set->FindByName(start, pattern, exact, caseSensitive, found); break;
    case ECriterion::Note: set->FindByNote(start, pattern, exact, caseSensitive, found); break;
    case ECriterion::Size: set->FindBySize(start, lowKB, highKB, found); break;
    case ECriterion::Date: set->FindByDate(start, DateBound(low), DateBound(high), found); break;
    case ECriterion::None: break;
  }
  std::string line;
  for (const auto& item : found) {
    line = LineText(item->m_strPath);
    line += '\n';
    WriteOut(line);
  }
  return found.empty() ? EXIT_NOTHING : EXIT_OK;
}
