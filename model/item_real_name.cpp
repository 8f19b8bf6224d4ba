#include "model/item_real_name.h"

#include "model/file_info.h"
#include "platform/cp932_codec.h"

std::string RealNameOf(const CFileInfo& item) {
  const std::string_view name = item.GetName();
  std::string bytes;
  if (item.IsRealNameCp932() && EncodeCp932Bytes(name, bytes)) return bytes;
  return UnescapeBytes(name);
}
