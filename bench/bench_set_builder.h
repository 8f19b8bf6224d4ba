#pragma once
// The benchmark set: three catalogs of folders holding 20 files each,
// grouped 100 folders a group, with random names of about 16 bytes. The
// same seed gives the same set in every benchmark.

#include <memory>
#include <random>
#include <string>

#include "model/root_file_info.h"

inline std::string BenchFileName(std::mt19937& random) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789_-";
  const int length = 12 + int(random() % 9);  // about 16 on average
  std::string name;
  for (int i = 0; i < length - 4; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name + ".dat";
}

// items: how many items the set holds, itself included.
inline std::unique_ptr<CRootFileInfo> BuildBenchSet(std::size_t files, std::size_t& items) {
  std::mt19937 random(42);
  auto set = std::make_unique<CRootFileInfo>("bench");
  const std::size_t folders = (files + 19) / 20;
  std::size_t madeFiles = 0, madeFolders = 0;
  items = 1;
  for (int c = 0; c < 3; ++c) {
    auto catalog = std::make_unique<CDriveFileInfo>("Catalog " + std::to_string(c), "/media/disc" + std::to_string(c),
                                                    CMediumFacts{"host", "CD-ROM", 0, 700000000});
    ++items;
    const std::size_t mine = folders / 3 + (c == 0 ? folders % 3 : 0);
    CFolderFileInfo* group = nullptr;
    for (std::size_t f = 0; f < mine; ++f) {
      if (f % 100 == 0) {
        CFindData record;
        record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        record.cFileName = "group" + std::to_string(f / 100);
        group = static_cast<CFolderFileInfo*>(catalog->AddChild(&record));
        ++items;
      }
      CFindData record;
      record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
      record.cFileName = "folder" + std::to_string(madeFolders++);
      auto* folder = static_cast<CFolderFileInfo*>(group->AddChild(&record));
      ++items;
      for (int i = 0; i < 20 && madeFiles < files; ++i, ++madeFiles, ++items) {
        CFindData file;
        file.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        file.cFileName = BenchFileName(random);
        file.SetSize(random() % 10000000);
        file.ftCreationTime = file.ftLastAccessTime = file.ftLastWriteTime = 130000000000000000ULL + random();
        folder->AddChild(&file);
      }
    }
    set->AppendCatalog(std::move(catalog), 1000000000);
  }
  return set;
}
