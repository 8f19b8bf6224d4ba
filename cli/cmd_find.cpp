// find: the items below a start path that match every criterion given (name,
// note, size range, modification-date range), in walk order: one logical
// path a line, one real path a line, or one JSON object a line. With several
// sets, each line starts with the set's file name ("set" in JSON).

#include <cstdint>
#include <ctime>
#include <optional>
#include <utility>

#include "cli/cli_common.h"
#include "model/item_json.h"
#include "model/item_real_name.h"
#include "model/search_match.h"
#include "platform/cp932_codec.h"

namespace {

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

// An empty text is no bound; any other must be a date.
bool ParseDateArg(const std::string& text, std::optional<CTime>& out) {
  if (text.empty()) return true;
  out = ParseStrictDate(text);
  return out.has_value();
}

// Every criterion of the run, tested in turn.
struct CAllCriteria {
  std::vector<std::pair<CSearchPredicate, void*>> m_parts;
};

int MatchAll(const CFileInfo& item, void* params) {
  for (const auto& [predicate, criterion] : static_cast<CAllCriteria*>(params)->m_parts)
    if (predicate(item, criterion) == 0) return 0;
  return 1;
}

// The catalog's label: the first name of path, which may hold "\\" itself
// (FindByPath).
std::string CatalogOf(const CRootFileInfo& set, const std::string& path) {
  std::string_view label = std::string_view(path).substr(0, path.find('\\'));
  for (const auto& child : set.Children()) {
    const std::string_view name = child->GetName();
    if (child->IsCatalog() && name.size() > label.size() && path.compare(0, name.size(), name) == 0 &&
        (path.size() == name.size() || path[name.size()] == '\\'))
      label = name;
  }
  return std::string(label);
}

// Writes what set holds that matches all below from; whether anything did.
// setName, when given, starts each line.
bool FindInSet(const CRootFileInfo& set, const std::string& setName, const std::optional<std::string>& from,
               CAllCriteria& all, bool json, bool realPaths) {
  const std::string start = from.value_or(std::string());
  // The search then covers the whole set; say so, since results come from elsewhere.
  if (FindByPath(static_cast<const CFileInfo*>(&set), start) == nullptr)
    ReportError("開始位置が見つからないため、カタログセット全体を検索します: " + LineText(start));

  CItemSummaryList found;
  std::vector<const CFileInfo*> items;
  set.SearchFrom(start, MatchAll, &all, found, &items);

  std::vector<std::optional<std::string>> real;
  if (json || realPaths) real = RealPathsOfItems(set, items);
  std::vector<std::optional<CFingerprint>> fingerprints;
  if (json) fingerprints = FingerprintsOfItems(set, items);
  std::string line;
  for (std::size_t i = 0; i < found.size(); ++i) {
    const CItemSummary& record = *found[i];
    if (json) {
      nlohmann::ordered_json object;
      if (!setName.empty()) object["set"] = setName;
      object.update(ItemJson(*items[i], record.m_strPath, CatalogOf(set, record.m_strPath), real[i], fingerprints[i],
                             EJsonTimes::Local));
      line = JsonLine(object);
    } else {
      // A real path goes out as its bytes: any change would name another file.
      line = setName.empty() ? std::string() : setName + ": ";
      line += realPaths ? real[i].value_or(std::string()) : LineText(record.m_strPath);
      line += '\n';
    }
    WriteOut(line);
  }
  return !found.empty();
}

}  // namespace

int CmdFind(const std::vector<std::string>& args) {
  std::vector<std::string> setPaths;
  std::optional<std::string> from, name, note;
  std::optional<std::pair<std::string, std::string>> size, date;
  bool exact = false, caseSensitive = false, json = false, realPaths = false;
  CTextOptions options;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::size_t operands = arg == "--from" || arg == "--name" || arg == "--note" ? 1
                                 : arg == "--size" || arg == "--date"                  ? 2
                                                                                       : 0;
    if (i + operands >= args.size()) return UsageError(arg + " の値がありません");
    if (operands == 1) {
      std::optional<std::string>& slot = arg == "--from" ? from : arg == "--name" ? name : note;
      if (slot) return UsageError(arg + " が 2 回指定されています");
      slot = ArgText(args[++i]);
    } else if (operands == 2) {
      auto& slot = arg == "--size" ? size : date;
      if (slot) return UsageError(arg + " が 2 回指定されています");
      slot.emplace(args[i + 1], args[i + 2]);
      i += 2;
    } else if (arg == "--exact") {
      exact = true;
    } else if (arg == "--case") {
      caseSensitive = true;
    } else if (arg == "--width") {
      options.bIgnoreWidth = true;
    } else if (arg == "--kana") {
      options.bIgnoreKana = true;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--real-path") {
      realPaths = true;
    } else if (arg == "--") {
      setPaths.insert(setPaths.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());  // names starting with "-"
      break;
    } else if (arg.rfind("--", 0) == 0) {
      return UsageError("不明な引数です: " + ArgText(arg));
    } else {
      setPaths.push_back(arg);
    }
  }
  if (setPaths.empty()) return UsageError("find にはカタログセットのファイルを指定してください");
  if (!name && !note && !size && !date)
    return UsageError("--name, --note, --size, --date の少なくとも 1 つを指定してください");
  if ((exact || caseSensitive || options.bIgnoreWidth || options.bIgnoreKana) && !name && !note)
    return UsageError("--exact, --case, --width, --kana は --name か --note と使います");
  if (json && realPaths) return UsageError("--json と --real-path は一緒に使えません");
  std::uint32_t lowKB = 0, highKB = 0;
  if (size && (!ParseSizeBound(size->first, lowKB) || !ParseSizeBound(size->second, highKB)))
    return UsageError("サイズには 0 以上の整数を KB で指定してください");
  CDateCriterion dates;
  if (date) {
    for (const auto& [text, bound] : {std::pair{&date->first, &dates.lower}, std::pair{&date->second, &dates.upper}}) {
      if (!ParseDateArg(*text, *bound)) {
        ReportError("日付として読めません: " + LineText(*text) + "（" + kStrictDateForms +
                    " のどれかで指定してください）");
        return EXIT_USAGE;
      }
    }
  }

  std::optional<CTextCriterion> nameCriterion, noteCriterion;
  CSizeCriterion sizeCriterion{lowKB, highKB};
  CAllCriteria all;
  if (name) all.m_parts.emplace_back(MatchName, &nameCriterion.emplace(*name, exact, caseSensitive, options, true));
  if (note) all.m_parts.emplace_back(MatchNote, &noteCriterion.emplace(*note, exact, caseSensitive, options));
  if (size) all.m_parts.emplace_back(MatchSize, &sizeCriterion);
  if (date) all.m_parts.emplace_back(MatchDate, &dates);
  bool anyFound = false;
  for (const std::string& setPath : setPaths) {
    std::unique_ptr<CRootFileInfo> set;
    if (const int status = LoadSetForCli(setPath, set); status != EXIT_OK) return status;
    const std::string prefix = setPaths.size() > 1 ? SetFileLabel(setPath) : std::string();
    anyFound = FindInSet(*set, prefix, from, all, json, realPaths) || anyFound;
  }
  return anyFound ? EXIT_OK : EXIT_NOTHING;
}
