// info: the information record of the set, one item or several items, as JSON.

#include "cli/cli_common.h"

namespace {

void AddText(std::string& out, const char* key, const std::string& value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += JsonQuote(value);
}

}  // namespace

int CmdInfo(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("info にはカタログセットのファイルを指定してください");
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < args.size(); ++i) paths.push_back(ArgText(args[i]));
  if (paths.empty()) paths.emplace_back();  // the set itself
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(args[0], set); status != EXIT_OK) return status;

  // The record of several items skips paths that name nothing; a mistyped
  // path would then go unnoticed in the totals.
  if (ReportMissingPaths(*set, paths)) return EXIT_NOTHING;

  CPropInfoData info;
  set->GetSelectionInfo(paths, info);
  std::string out = "{\"type\":" + std::to_string(info.m_nType);
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
  out += "}\n";
  WriteOut(out);
  return EXIT_OK;
}
