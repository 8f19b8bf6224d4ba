#pragma once
// The files of a catalog in pre-order, each with its offset below the
// catalog (as the extension block keys items) and its real path below the
// catalog's base path: what the work after a walk (fingerprints, archive
// listings) reads.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/drive_file_info.h"

// Which of the catalog's files to take: (item, offset) -> whether.
using CFileFilter = std::function<bool(const CFileInfo& item, std::uint32_t offset)>;

struct CCatalogFile {
  std::uint32_t nOffset = 0;
  const CFileInfo* pItem = nullptr;
  std::string strRealPath;  // empty: the name cannot be a real one
};

// Hands the files out one at a time; unreadable ones, links and other
// entries that are not regular files, and those filter refuses are passed
// over. Folders whose names lead elsewhere are skipped
// whole, their items' offsets still counted.
class CCatalogFileWalk {
 public:
  // place, when given, stands for the base path in the real paths: where
  // the medium is now.
  CCatalogFileWalk(const CDriveFileInfo& catalog, const CFileFilter& filter, const std::string* place = nullptr);
  bool Next(CCatalogFile& file);

 private:
  struct CLevel {
    const CFolderFileInfo* pFolder;
    std::size_t nNext;
    std::size_t nPathLength;
  };
  const CFileFilter& m_filter;
  std::vector<CLevel> m_stack;
  std::string m_strPath;
  std::uint32_t m_nOffset = 0;
};
