#include "model/item_json.h"

#include "model/file_info.h"
#include "model/list_format.h"
#include "platform/cp932_codec.h"

namespace {

std::string Base64(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16;
    if (i + 1 < bytes.size()) group |= std::uint32_t(std::uint8_t(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) group |= std::uint8_t(bytes[i + 2]);
    for (std::size_t digit = 0; digit < 4; ++digit)
      out += i + digit <= bytes.size() ? kDigits[(group >> (18 - 6 * digit)) & 0x3F] : '=';
  }
  return out;
}

nlohmann::ordered_json TimeJson(const CFileInfo& item, bool created, EJsonTimes times) {
  std::string text;
  if (times == EJsonTimes::Exact) {
    // The set and its catalogs keep seconds, not file times.
    if (item.GetKind() == CFileInfo::KIND_FILE || item.GetKind() == CFileInfo::KIND_FOLDER)
      AppendExactTime(created ? item.CreationFileTime() : item.WriteFileTime(), text);
  } else {
    text = FormatIsoTime(created ? item.GetCreatedTime() : item.GetModifiedTime());
  }
  return text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(text);
}

}  // namespace

const char* ItemKindName(const CFileInfo& item) {
  switch (item.GetKind()) {
    case CFileInfo::KIND_FILE: return "file";
    case CFileInfo::KIND_FOLDER: return "folder";
    case CFileInfo::KIND_CATALOG: return "catalog";
    case CFileInfo::KIND_SET: return "set";
  }
  return "file";
}

nlohmann::ordered_json ItemJson(const CFileInfo& item, const std::string& path, const std::string& catalog,
                                const std::optional<std::string>& realPath,
                                const std::optional<CFingerprint>& fingerprint, EJsonTimes times) {
  nlohmann::ordered_json object;
  const bool text = realPath && SanitizeUtf8(*realPath) == *realPath;
  object["path"] = path;
  object["real_path"] = text ? nlohmann::ordered_json(*realPath) : nlohmann::ordered_json();
  if (realPath && !text) object["real_path_bytes"] = Base64(*realPath);
  object["kind"] = ItemKindName(item);
  object["size"] = item.GetSize();
  object["modified"] = TimeJson(item, false, times);
  object["created"] = TimeJson(item, true, times);
  object["attributes"] = item.GetAttributes();
  object["note"] = item.GetNote();
  object["catalog"] = catalog;
  if (fingerprint) object["xxh128"] = fingerprint->Hex();
  if (item.IsInArchive()) object["in_archive"] = true;
  return object;
}

std::string JsonText(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string JsonLine(const nlohmann::ordered_json& value) { return JsonText(value) + "\n"; }
