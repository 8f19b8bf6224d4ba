// dump: every item of a set, one JSON object per line, in pre-order.

#include <string>
#include <vector>

#include "cli/cli_common.h"

namespace {

const char* KindWord(CFileInfo::EKind kind) {
  switch (kind) {
    case CFileInfo::KIND_FILE: return "file";
    case CFileInfo::KIND_FOLDER: return "folder";
    case CFileInfo::KIND_CATALOG: return "catalog";
    case CFileInfo::KIND_SET: return "set";
  }
  return "file";
}

void AddText(std::string& line, const char* key, std::string_view value) {
  line += ",\"";
  line += key;
  line += "\":";
  line += JsonQuote(value);
}

template <class T>
void AddNumber(std::string& line, const char* key, T value) {
  line += ",\"";
  line += key;
  line += "\":";
  line += std::to_string(value);
}

void WriteItem(const CFileInfo& item, const std::string& path, std::string& line) {
  line = "{\"kind\":";
  line += JsonQuote(KindWord(item.GetKind()));
  AddText(line, "path", path);
  AddText(line, "name", item.GetName());
  AddText(line, "note", item.GetNote());
  AddNumber(line, "attributes", item.RecordAttributes());
  AddNumber(line, "created", item.CreationFileTime());
  AddNumber(line, "accessed", item.AccessFileTime());
  AddNumber(line, "modified", item.WriteFileTime());
  AddNumber(line, "size", item.GetSize());
  AddText(line, "short_name", item.AlternateName());
  if (item.GetKind() == CFileInfo::KIND_CATALOG) {
    const auto& catalog = static_cast<const CDriveFileInfo&>(item);
    AddText(line, "label", catalog.m_strLabel);
    AddNumber(line, "cataloged", catalog.m_timeCataloged);
    AddText(line, "machine", catalog.m_strMachineName);
    AddText(line, "media", catalog.m_strMediaType);
    AddNumber(line, "free", catalog.m_nFreeBytes);
    AddNumber(line, "total", catalog.m_nTotalBytes);
    AddText(line, "base_path", catalog.m_strCatalogedPath);
  } else if (item.GetKind() == CFileInfo::KIND_SET) {
    AddNumber(line, "updated", static_cast<const CRootFileInfo&>(item).m_timeUpdated);
  }
  line += "}\n";
  WriteOut(line);
}

void DumpTree(const CRootFileInfo& set) {
  std::string line;
  const std::string setPath = set.PathUnder({});
  WriteItem(set, setPath, line);
  WalkBelow(set, setPath, [&](const CFileInfo& child, const CWalkPath& parentPath) {
    WriteItem(child, parentPath.PathOf(child), line);
  });
}

}  // namespace

int CmdDump(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("dump にはカタログセットのファイルを 1 つ指定してください");
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(args[0], set); status != EXIT_OK) return status;
  DumpTree(*set);
  return EXIT_OK;
}
