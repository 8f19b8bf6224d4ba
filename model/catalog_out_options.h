#pragma once
// Which file columns the HTML report writes; nonzero means written.

#include <cstdint>

struct CatalogOutOptions {
  std::int32_t kind = 1;
  std::int32_t size = 1;
  std::int32_t createTime = 1;
  std::int32_t modifiedTime = 1;
  std::int32_t attribute = 1;
  std::int32_t note = 1;
  // Whether listed archives' members follow, each archive as a folder.
  std::int32_t members = 0;
};
