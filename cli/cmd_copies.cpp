// quarrix-cli copies SET... [--catalog LABEL]... [--fewer-than N] [--by content|name-size|size]
//                    [--min-size BYTES] [--summary] [--json]
// quarrix-cli dupes SET... [--min-size BYTES] [--by content|name-size|size] [--json]
//
// From the catalogs alone, no medium needed. copies lists the files of the
// chosen catalogs (all by default) held on fewer than N media (default 2:
// on this medium only), one line each, "MEDIA<TAB>PATH", then a table per
// catalog: files and bytes below N, and their share of the catalog's bytes.
// Copies on the same medium count as that one medium: catalogs sharing the
// catalog's own identity (a set and its copy) or the medium's, or lacking
// these, label, cataloguing time and total size; a set file named twice is
// read once. dupes lists groups of copies, the largest waste first (size
// times copies beyond the first; a file catalogued twice on one medium is
// one copy): a line "# SIZE × COUNT = WASTE", then "SET: CATALOG\PATH" per
// member.
// Files match by fingerprint where both have one; otherwise by name, size
// and modification time, marked "推定" (likely). --by name-size ignores times,
// --by size matches sizes alone. Empty files and links never match. With several
// sets, copies' paths start with the set's file name. Exit 0 when something
// was found, 1 when nothing was.

#include <algorithm>

#include "cli/cli_common.h"
#include "model/item_json.h"
#include "model/copy_groups.h"
#include "model/text_format.h"

namespace {

struct CCopyArgs {
  std::vector<std::string> sets, catalogs;
  CCopyOptions options;
  std::uint32_t nFewerThan = 2;
  bool bJson = false, bSummary = false;
};

bool ParseNumber(const std::string& text, std::uint64_t& out) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18) return false;
  out = std::stoull(text);
  return true;
}

// Fills out from args; an error message, empty when they are right.
std::string ParseCopyArgs(const std::vector<std::string>& args, bool copies, CCopyArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      out.sets.insert(out.sets.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    const bool hasValue = i + 1 < args.size();
    std::uint64_t number = 0;
    if (arg == "--json") {
      out.bJson = true;
    } else if (copies && arg == "--summary") {
      out.bSummary = true;
    } else if (copies && arg == "--catalog" && hasValue) {
      out.catalogs.push_back(ArgText(args[++i]));
    } else if (copies && arg == "--fewer-than" && hasValue) {
      if (!ParseNumber(args[++i], number) || number < 1 || number > 1000000)
        return "--fewer-than には 1 以上の数を指定してください";
      out.nFewerThan = std::uint32_t(number);
    } else if (arg == "--min-size" && hasValue) {
      if (!ParseNumber(args[++i], number)) return "--min-size にはバイト数を指定してください";
      out.options.nMinSize = number;
    } else if (arg == "--by" && hasValue) {
      const std::string& by = args[++i];
      if (by == "content")
        out.options.eBy = ECopyMatch::Content;
      else if (by == "name-size")
        out.options.eBy = ECopyMatch::NameSize;
      else if (by == "size")
        out.options.eBy = ECopyMatch::Size;
      else
        return "--by には content、name-size、size のどれかを指定してください";
    } else {
      out.sets.push_back(arg);
    }
  }
  if (out.sets.empty()) return "カタログセットのファイルを指定してください";
  return {};
}

struct CLoadedSets {
  std::vector<std::unique_ptr<CRootFileInfo>> owned;
  std::vector<const CRootFileInfo*> sets;
  std::vector<std::string> names;  // the files' names, for lines
};

int LoadSets(const std::vector<std::string>& paths, CLoadedSets& out) {
  std::vector<std::string> read;
  for (const std::string& path : paths) {
    // One file named twice (or by a link) is one set: read twice, its
    // catalogs would be two media, and every file would look backed up.
    const auto same = [&](const std::string& earlier) { return earlier == path || IsSameFile(earlier, path); };
    if (std::any_of(read.begin(), read.end(), same)) {
      WriteErr("同じカタログセットが 2 回指定されています。1 回だけ数えます: " + LineText(path) + "\n");
      continue;
    }
    read.push_back(path);
    std::unique_ptr<CRootFileInfo> set;
    if (const int status = LoadSetForCli(path, set); status != EXIT_OK) return status;
    out.sets.push_back(set.get());
    out.owned.push_back(std::move(set));
    out.names.push_back(SetFileLabel(path));
  }
  return EXIT_OK;
}

std::string Likely(bool likely, ECopyMatch by) { return likely || by != ECopyMatch::Content ? "推定" : ""; }

int Report(const CCopyIndex& index, const CLoadedSets& loaded, const CCopyArgs& args) {
  std::vector<std::uint32_t> chosen;
  for (const std::string& label : args.catalogs) {
    bool found = false;
    for (std::uint32_t c = 0; c < index.Catalogs().size(); ++c)
      if (index.Catalogs()[c].pCatalog->m_strLabel == label) chosen.push_back(c), found = true;
    if (!found) {
      ReportError("カタログが見つかりません: " + LineText(label));
      return EXIT_NOTHING;
    }
  }
  const CFewCopies few = FindFewCopies(index, chosen, args.nFewerThan);
  const bool several = loaded.sets.size() > 1;
  const auto prefix = [&](std::uint32_t catalog) {
    return several ? loaded.names[index.Catalogs()[catalog].nSet] + ": " : std::string();
  };
  const std::vector<std::string> paths = args.bSummary ? std::vector<std::string>() : index.PathsOf(few.files);
  std::string out;
  if (args.bJson) {
    nlohmann::ordered_json json;
    nlohmann::ordered_json& files = json["files"] = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const std::uint32_t file = few.files[i];
      const CCopyCatalog& catalog = index.CatalogOf(file);
      nlohmann::ordered_json entry;
      entry["set"] = loaded.names[catalog.nSet];
      entry["catalog"] = catalog.pCatalog->m_strLabel;
      entry["path"] = paths[i];
      entry["size"] = index.Item(file).RecordSize();
      entry["copies"] = few.copies[i];
      entry["likely"] = !Likely(few.likely[i], args.options.eBy).empty();
      files.push_back(std::move(entry));
    }
    nlohmann::ordered_json& summaries = json["summary"] = nlohmann::ordered_json::array();
    for (const CCatalogCopySummary& summary : few.summaries) {
      const CCopyCatalog& catalog = index.Catalogs()[summary.nCatalog];
      nlohmann::ordered_json entry;
      entry["set"] = loaded.names[catalog.nSet];
      entry["catalog"] = catalog.pCatalog->m_strLabel;
      entry["files"] = summary.nFiles;
      entry["bytes"] = summary.nBytes;
      entry["catalog_files"] = summary.nCatalogFiles;
      entry["catalog_bytes"] = summary.nCatalogBytes;
      summaries.push_back(std::move(entry));
    }
    WriteOut(JsonLine(json));
    return few.files.empty() ? EXIT_NOTHING : EXIT_OK;
  }
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::uint32_t file = few.files[i];
    const std::string likely = Likely(few.likely[i], args.options.eBy);
    out += std::to_string(few.copies[i]) + "\t" + prefix(index.CatalogIndexOf(file)) + LineText(paths[i]) +
           (likely.empty() || few.copies[i] < 2 ? "" : "\t" + likely) + "\n";
    if (out.size() > 1 << 16) WriteOut(out), out.clear();
  }
  out += "カタログ\tファイル\tバイト\t割合\n";
  for (const CCatalogCopySummary& summary : few.summaries) {
    char share[32];
    std::snprintf(share, sizeof share, "%.1f%%", summary.Share() * 100);
    out += prefix(summary.nCatalog) + LineText(index.Catalogs()[summary.nCatalog].pCatalog->m_strLabel) + "\t" +
           std::to_string(summary.nFiles) + "\t" + std::to_string(summary.nBytes) + "\t" + share + "\n";
  }
  WriteOut(out);
  return few.files.empty() ? EXIT_NOTHING : EXIT_OK;
}

int ReportDuplicates(const CCopyIndex& index, const CLoadedSets& loaded, const CCopyArgs& args) {
  const std::vector<std::uint32_t> groups = FindDuplicates(index);
  std::vector<CCopyGroup> shown(groups.size());
  std::vector<std::uint32_t> files;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    index.GetGroup(groups[i], shown[i]);
    files.insert(files.end(), shown[i].members.begin(), shown[i].members.end());
  }
  std::sort(files.begin(), files.end());
  const std::vector<std::string> paths = index.PathsOf(files);
  const auto pathOf = [&](std::uint32_t file) {
    const CCopyCatalog& catalog = index.CatalogOf(file);
    const auto at = std::lower_bound(files.begin(), files.end(), file) - files.begin();
    return loaded.names[catalog.nSet] + ": " + LineText(paths[std::size_t(at)]);
  };
  std::string out = args.bJson ? "[" : "";
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const CCopyGroup& group = shown[i];
    const std::uint64_t waste = group.nSize * (group.nCopies - 1);
    const bool likely = !Likely(group.bLikely, args.options.eBy).empty();
    if (args.bJson) {
      // Groups go out as they are made: the array is written piece by piece.
      nlohmann::ordered_json entry;
      entry["size"] = group.nSize;
      entry["copies"] = group.nCopies;
      entry["waste"] = waste;
      entry["media"] = group.nMedia;
      entry["likely"] = likely;
      nlohmann::ordered_json& members = entry["members"] = nlohmann::ordered_json::array();
      for (const std::uint32_t file : group.members) members.push_back(pathOf(file));
      out += (i == 0 ? "" : ",") + JsonText(entry);
    } else {
      out += "# " + std::to_string(group.nSize) + " × " + std::to_string(group.nCopies) + " = " +
             std::to_string(waste) + (likely ? " 推定" : "") + "\n";
      for (std::uint32_t file : group.members) out += pathOf(file) + "\n";
    }
    if (out.size() > 1 << 16) WriteOut(out), out.clear();
  }
  WriteOut(args.bJson ? out + "]\n" : out);
  return shown.empty() ? EXIT_NOTHING : EXIT_OK;
}

int RunCopies(const std::vector<std::string>& args, bool copies) {
  CCopyArgs parsed;
  if (const std::string error = ParseCopyArgs(args, copies, parsed); !error.empty()) return UsageError(error);
  CLoadedSets loaded;
  if (const int status = LoadSets(parsed.sets, loaded); status != EXIT_OK) return status;
  CCopyIndex index;
  index.Build(loaded.sets, parsed.options);
  return copies ? Report(index, loaded, parsed) : ReportDuplicates(index, loaded, parsed);
}

}  // namespace

int CmdCopies(const std::vector<std::string>& args) { return RunCopies(args, true); }
int CmdDupes(const std::vector<std::string>& args) { return RunCopies(args, false); }
