// info: the information record of the set, one item or several items, as JSON.

#include <algorithm>

#include "cli/cli_common.h"
#include "model/item_json.h"
#include "platform/cp932_codec.h"

namespace {

nlohmann::ordered_json EscapedList(const std::vector<std::string>& items) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const std::string& item : items) list.push_back(EscapeBytes(item, false));
  return list;
}

// The catalog's record of its medium and of how it was made. Real paths
// that are not UTF-8 show their odd bytes escaped, as names do.
nlohmann::ordered_json RecordJson(const CCatalogRecord& record) {
  const CMediumIdentity& medium = record.medium;
  nlohmann::ordered_json object;
  object["catalog_id"] = CatalogIdText(record.strCatalogId);
  object["medium_id"] = medium.strId;
  object["medium_id_source"] = medium.strIdSource;
  object["file_system"] = medium.strFileSystem;
  object["volume_label"] = medium.strVolumeLabel;
  object["total_bytes"] = medium.nTotalBytes;
  object["below_mount"] = EscapeBytes(medium.strBelowMount, false);
  object["chosen_paths"] = EscapedList(record.chosenPaths);
  object["follow_links"] = record.bFollowLinks;
  object["cross_file_systems"] = record.bCrossFileSystems;
  object["excludes"] = EscapedList(record.excludes);
  object["hash_contents"] = record.bHashContents;
  object["archive_depth"] = record.nArchiveDepth;
  return object;
}

// The record of the items at paths in set, one JSON line; setName, when
// given, is its first field.
std::string InfoJson(const CRootFileInfo& set, const std::vector<std::string>& paths, const std::string& setName) {
  CPropInfoData info;
  set.GetSelectionInfo(paths, info);
  nlohmann::ordered_json out;
  if (!setName.empty()) out["set"] = setName;
  out["type"] = info.m_nType;
  out["name"] = info.m_strName;
  out["kind"] = info.m_strKind;
  out["note"] = info.m_strNote;
  out["created"] = info.m_strCreated;
  out["modified"] = info.m_strModified;
  out["path"] = info.m_strPath;
  out["attributes"] = info.m_strAttributes;
  out["size"] = info.m_strSize;
  out["machine"] = info.m_strMachine;
  out["free_space"] = info.m_strFreeSpace;
  out["total_space"] = info.m_strTotalSpace;
  out["media"] = info.m_strMedia;
  out["base_path"] = info.m_strBasePath;
  out["catalog_count"] = info.m_strCatalogCount;
  if (!info.m_strFingerprint.empty()) out["xxh128"] = info.m_strFingerprint;
  if (!info.m_strArchive.empty()) out["archive"] = info.m_strArchive;
  if (info.m_nType == CPropInfoData::TYPE_CATALOG) {
    const auto* catalog = static_cast<const CDriveFileInfo*>(FindByPath(static_cast<const CFileInfo*>(&set), paths[0]));
    out["record"] = catalog->m_record ? RecordJson(*catalog->m_record) : nlohmann::ordered_json();
  }
  return JsonLine(out);
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
