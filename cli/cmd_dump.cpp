// dump: every item of a set, one JSON object per line, in pre-order.

#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "model/item_json.h"

namespace {

void WriteItem(const CFileInfo& item, const std::string& path) {
  nlohmann::ordered_json object;
  object["kind"] = ItemKindName(item);
  object["path"] = path;
  object["name"] = item.GetName();
  object["note"] = item.GetNote();
  object["attributes"] = item.RecordAttributes();
  object["created"] = item.CreationFileTime();
  object["accessed"] = item.AccessFileTime();
  object["modified"] = item.WriteFileTime();
  object["size"] = item.GetSize();
  object["short_name"] = item.AlternateName();
  if (item.GetKind() == CFileInfo::KIND_CATALOG) {
    const auto& catalog = static_cast<const CDriveFileInfo&>(item);
    object["label"] = catalog.m_strLabel;
    object["cataloged"] = catalog.m_timeCataloged;
    object["machine"] = catalog.m_strMachineName;
    object["media"] = catalog.m_strMediaType;
    object["free"] = catalog.m_nFreeBytes;
    object["total"] = catalog.m_nTotalBytes;
    object["base_path"] = catalog.m_strCatalogedPath;
  } else if (item.GetKind() == CFileInfo::KIND_SET) {
    object["updated"] = static_cast<const CRootFileInfo&>(item).m_timeUpdated;
  }
  WriteOut(JsonLine(object));
}

void DumpTree(const CRootFileInfo& set) {
  const std::string setPath = set.PathUnder({});
  WriteItem(set, setPath);
  WalkBelow(set, setPath,
            [&](const CFileInfo& child, const CWalkPath& parentPath) { WriteItem(child, parentPath.PathOf(child)); });
}

}  // namespace

int CmdDump(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("dump にはカタログセットのファイルを 1 つ指定してください");
  std::unique_ptr<CRootFileInfo> set;
  if (const int status = LoadSetForCli(args[0], set); status != EXIT_OK) return status;
  DumpTree(*set);
  return EXIT_OK;
}
