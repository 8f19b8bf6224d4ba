#include "tests/gui/dialog_test_set.h"

#include <memory>

namespace {

// 2001-02-03 04:05:06 UTC as a file time.
constexpr std::uint64_t kFileTime = (981173106ULL + kFileTimeEpochOffset) * 10000000ULL;

CFindData Record(const std::string& name, std::uint32_t attributes, std::uint64_t size) {
  CFindData record;
  record.cFileName = name;
  record.dwFileAttributes = attributes;
  record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime = kFileTime;
  record.SetSize(size);
  return record;
}

}  // namespace

CDialogTestSet::CDialogTestSet() : m_set("テストセット") {
  CMediumFacts facts;
  facts.strMachineName = "HOST-A";
  facts.strMediaType = "CD-ROM";
  facts.nFreeBytes = 4096;
  facts.nTotalBytes = 650000000;
  CDriveFileInfo* disk =
      m_set.AppendCatalog(std::make_unique<CDriveFileInfo>("Disk1", "/media/disk1", facts), 981173106);

  CFindData docsRecord = Record("docs", FILE_ATTRIBUTE_DIRECTORY, 0);
  auto* docs = static_cast<CFolderFileInfo*>(disk->AddChild(&docsRecord));
  CFindData aRecord = Record("a.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 1234);
  docs->AddChild(&aRecord);
  CFindData rdRecord = Record("R&D 資料.doc", FILE_ATTRIBUTE_ARCHIVE, 2048);
  docs->AddChild(&rdRecord);
  CFindData topRecord = Record("top.bin", 0, 10);
  disk->AddChild(&topRecord);

  m_set.SetNote("Disk1\\docs", "共通");
  m_set.SetNote("Disk1\\docs\\a.txt", "line1\r\nline2");
  m_set.SetNote("Disk1\\docs\\R&D 資料.doc", "共通");
  m_set.SetNote("Disk1\\top.bin", "共通");
}

CPropInfoData CDialogTestSet::InfoOf(const std::vector<std::string>& paths) const {
  CPropInfoData info;
  m_set.GetSelectionInfo(paths, info);
  return info;
}
