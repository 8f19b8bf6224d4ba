#include "dialogs/dialog_rules.h"

#include "model/item_summary.h"
#include "model/root_file_info.h"

EPropPage PropPageForType(int nType) {
  switch (nType) {
    case CPropInfoData::TYPE_SET: return PROP_PAGE_ROOT;
    case CPropInfoData::TYPE_FILE: return PROP_PAGE_FILE;
    case CPropInfoData::TYPE_CATALOG: return PROP_PAGE_DRIVE;
    default: return PROP_PAGE_FOLDER;
  }
}

const char* FolderSizeLabel(int nType) {
  return nType == CPropInfoData::TYPE_FOLDER ? "このフォルダ\n以下の合計サイズ" : "複数ファイルの\n合計サイズ";
}

const char* LabelRefusal(const std::string& label) {
  if (label.empty()) return "ラベルを入力してください";
  if (label.find('\\') != std::string::npos) return kLabelSeparatorMessage;
  return nullptr;
}

int FindAppEntry(const std::vector<std::string>& apps, const std::string& path) {
  for (std::size_t i = 0; i < apps.size(); ++i)
    if (apps[i] == path) return int(i);
  return -1;
}
