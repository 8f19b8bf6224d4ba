// info: the information record of the set, one item or several items, as JSON.

#include <algorithm>

#include "cli/cli_common.h"
#include "platform/cp932_codec.h"

namespace {

void AddText(std::string& out, const char* key, const std::string& value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += JsonQuote(value);
}

std::string JsonList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (const std::string& item : items) out += (out.size() > 1 ? "," : "") + JsonQuote(EscapeBytes(item, false));
  return out + "]";
}

// The catalog's record of its medium and of how it was made. Real paths
// that are not UTF-8 show their odd bytes escaped, as names do.
std::string RecordJson(const CCatalogRecord& record) {
  const CMediumIdentity& medium = record.medium;
  std::string out = "{\"medium_id\":" + JsonQuote(medium.strId);
  AddText(out, "file_system", medium.strFileSystem);
  AddText(out, "volume_label", medium.strVolumeLabel);
  out += ",\"total_bytes\":" + std::to_string(medium.nTotalBytes);
  AddText(out, "below_mount", EscapeBytes(medium.strBelowMount, false));
  out += ",\"chosen_paths\":" + JsonList(record.chosenPaths);
  out += std::string(",\"follow_links\":") + (record.bFollowLinks ? "true" : "false");
  out += std::string(",\"cross_file_systems\":") + (record.bCrossFileSystems ? "true" : "false");
  out += ",\"excludes\":" + JsonList(record.excludes);
  out += std::string(",\"hash_contents\":") + (record.bHashContents ? "true" : "false");
  return out + "}";
}

// The record of the items at paths in set, one JSON line; setName, when
// given, is its first field.
std::string InfoJson(const CRootFileInfo& set, const std::vector<std::string>& paths, const std::string& setName) {
  CPropInfoData info;
  set.GetSelectionInfo(paths, info);
  std::string out = "{";
  if (!setName.empty()) out += "\"set\":" + JsonQuote(setName) + ",";
  out += "\"type\":" + std::to_string(info.m_nType);
  AddText(out, "name", info.m_strName);
  AddText(out, "kind", info.m_strKind);
  AddText(out, "note", info.m_strNote);
  AddText(out, "created", info.m_strCreated);
  AddText(out, "modified", info.m_strModified);
  AddText(out, "path", info.m_strPath);
  AddText(out, "attributes", info.m_strAttributes);
  AddText(out, "size", info.m_strSize);
  AddText(out, "machine", info.m_strMachine);
  AddText(out, "free_space", info.m_strFreeSpace);
  AddText(out, "total_space", info.m_strTotalSpace);
  AddText(out, "media", info.m_strMedia);
  AddText(out, "base_path", info.m_strBasePath);
  AddText(out, "catalog_count", info.m_strCatalogCount);
  if (!info.m_strFingerprint.empty()) AddText(out, "xxh128", info.m_strFingerprint);
  if (info.m_nType == CPropInfoData::TYPE_CATALOG) {
    const auto* catalog = static_cast<const CDriveFileInfo*>(FindByPath(static_cast<const CFileInfo*>(&set), paths[0]));
    out += ",\"record\":" + (catalog->m_record ? RecordJson(*catalog->m_record) : std::string("null"));
  }
  return out + "}\n";
}

}  // namespace

// info SET... [PATH...]: with several sets, one line for each set holding
// the paths.
int CmdInfo(const std::vector<std::string>& args) {
  std::vector<std::string> operands = args;
  const std::vector<std::string> sets = TakeSetOperands(operands);
  if (sets.empty()) return UsageError("info にはカタログセットのファイルを指定してください");
  std::vector<std::string> paths;
  for (const std::string& operand : operands) paths.push_back(ArgText(operand));
  if (paths.empty()) paths.emplace_back();  // the set itself
  bool shown = false;
  for (const std::string& setPath : sets) {
    std::unique_ptr<CRootFileInfo> set;
    if (const int status = LoadSetForCli(setPath, set); status != EXIT_OK) return status;
    // The record of several items skips paths that name nothing; a mistyped
    // path would then go unnoticed in the totals.
    const bool holdsAll = std::all_of(paths.begin(), paths.end(), [&](const std::string& path) {
      return FindByPath(static_cast<const CFileInfo*>(set.get()), path) != nullptr;
    });
    if (!holdsAll) {
      if (sets.size() == 1) ReportMissingPaths(*set, paths);
      continue;
    }
    WriteOut(InfoJson(*set, paths, sets.size() > 1 ? SetFileLabel(setPath) : std::string()));
    shown = true;
  }
  if (!shown && sets.size() > 1) ReportError("指定された項目をすべて持つカタログセットがありません");
  return shown ? EXIT_OK : EXIT_NOTHING;
}
