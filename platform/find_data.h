#pragma once
// The file-system record an item is catalogued from: the facts a directory
// walk reports for one entry. Names are UTF-8 in memory.

#include <cstdint>
#include <string>

// Attribute bits as the catalog stores them. They are the system's own on
// Windows, where <windows.h>, when it comes first, defines these names.
#if !defined(_WIN32) || !defined(FILE_ATTRIBUTE_READONLY)
enum : std::uint32_t {
  FILE_ATTRIBUTE_READONLY = 0x1,
  FILE_ATTRIBUTE_HIDDEN = 0x2,
  FILE_ATTRIBUTE_SYSTEM = 0x4,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_ARCHIVE = 0x20,
  FILE_ATTRIBUTE_REPARSE_POINT = 0x400,
};
#endif

struct CFindData {
  std::uint32_t dwFileAttributes = 0;
  std::uint64_t ftCreationTime = 0;  // 100 ns units since 1601-01-01 UTC
  std::uint64_t ftLastAccessTime = 0;
  std::uint64_t ftLastWriteTime = 0;
  std::uint32_t nFileSizeHigh = 0;
  std::uint32_t nFileSizeLow = 0;
  std::uint32_t dwReserved0 = 0;
  std::uint32_t dwReserved1 = 0;
  std::string cFileName;
  std::string cAlternateFileName;

  std::uint64_t Size() const { return (std::uint64_t(nFileSizeHigh) << 32) | nFileSizeLow; }
  void SetSize(std::uint64_t size) {
    nFileSizeHigh = std::uint32_t(size >> 32);
    nFileSizeLow = std::uint32_t(size);
  }
};
