#include "dialogs/dialog_rules.h"

#include "model/item_summary.h"

EPropPage PropPageForType(int nType) {
  switch (nType) {
    case CPropInfoData::TYPE_SET:
      return PROP_PAGE_ROOT;
    case CPropInfoData::TYPE_FILE:
      return PROP_PAGE_FILE;
    case CPropInfoData::TYPE_CATALOG:
      return PROP_PAGE_DRIVE;
    default:
      return PROP_PAGE_FOLDER;
  }
}

const char* FolderSizeLabel(int nType) {
  return nType == CPropInfoData::TYPE_FOLDER ? "このフォルダ\n以下の合計サイズ" : "複数ファイルの\n合計サイズ";
}

bool IsLabelAcceptable(const std::string& label) { return !label.empty(); }

int FindAppEntry(const std::vector<std::string>& apps, const std::string& path) {
  for (std::size_t i = 0; i < apps.size(); ++i)
    if (apps[i] == path) return int(i);
  return -1;
}
