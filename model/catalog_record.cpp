#include "model/catalog_record.h"

#include <random>

#include "model/le_bytes.h"
#include "model/text_format.h"
#include "platform/cp932_codec.h"

namespace {

// Field tags. A field is a tag byte, a u32 length and that many bytes;
// repeated tags make lists.
enum : std::uint8_t {
  kMediumId = 1,
  kFileSystem = 2,
  kVolumeLabel = 3,
  kTotalBytes = 4,  // u64
  kBelowMount = 5,
  kChosenPath = 6,   // repeated
  kFollowLinks = 7,  // empty: set
  kCrossFileSystems = 8,
  kExclude = 9,  // repeated
  kHashContents = 10,
  kArchiveDepth = 11,   // u32: archives listed to this depth
  kIdSource = 12,       // what gave the medium's identity
  kCatalogId = 13,      // the catalog's own identity, 16 bytes
  kInnerMount = 14,     // repeated: a mount point entered below the base path
  kKindsRecorded = 15,  // empty: links and special entries recorded as such
};

void PutField(std::string& out, std::uint8_t tag, std::string_view value) {
  out += char(tag);
  PutLE(out, value.size(), 4);
  out.append(value);
}

void PutText(std::string& out, std::uint8_t tag, const std::string& value) {
  if (!value.empty()) PutField(out, tag, value);
}

// Where the identity came from, as the information sheet says it.
std::string IdSourceText(const std::string& source) {
  if (source == "blkid") return " (デバイスから)";
  if (source == "udev") return " (udev から)";
  if (source == "ioctl") return " (ファイルシステムから)";
  if (source == "fsid") return " (ファイルシステムの fsid)";
  if (source == "serial") return " (ボリュームのシリアル番号)";
  return {};
}

}  // namespace

std::string EncodeCatalogRecord(const CCatalogRecord& record) {
  std::string out;
  PutText(out, kMediumId, record.medium.strId);
  PutText(out, kFileSystem, record.medium.strFileSystem);
  PutText(out, kVolumeLabel, record.medium.strVolumeLabel);
  std::string total;
  PutLE(total, record.medium.nTotalBytes, 8);
  PutField(out, kTotalBytes, total);
  PutText(out, kBelowMount, record.medium.strBelowMount);
  PutText(out, kIdSource, record.medium.strIdSource);
  for (const std::string& path : record.chosenPaths) PutField(out, kChosenPath, path);
  if (record.bFollowLinks) PutField(out, kFollowLinks, {});
  if (record.bCrossFileSystems) PutField(out, kCrossFileSystems, {});
  for (const std::string& pattern : record.excludes) PutField(out, kExclude, pattern);
  if (record.bHashContents) PutField(out, kHashContents, {});
  if (record.nArchiveDepth > 0) {
    std::string depth;
    PutLE(depth, std::uint32_t(record.nArchiveDepth), 4);
    PutField(out, kArchiveDepth, depth);
  }
  for (const std::string& path : record.innerMounts) PutField(out, kInnerMount, path);
  if (record.bKindsRecorded) PutField(out, kKindsRecorded, {});
  PutText(out, kCatalogId, record.strCatalogId);
  out += record.strUnknownFields;
  return out;
}

bool DecodeCatalogRecord(std::string_view bytes, CCatalogRecord& out) {
  out = CCatalogRecord();
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 5) return false;
    const std::uint8_t tag = std::uint8_t(bytes[at]);
    const std::uint64_t length = GetLE(bytes, at + 1, 4);
    if (bytes.size() - at - 5 < length) return false;
    const std::string_view field = bytes.substr(at, 5 + std::size_t(length));
    const std::string value(field.substr(5));
    at += field.size();
    switch (tag) {
      case kMediumId: out.medium.strId = value; break;
      case kFileSystem: out.medium.strFileSystem = value; break;
      case kVolumeLabel: out.medium.strVolumeLabel = value; break;
      case kTotalBytes:
        if (value.size() != 8) return false;
        out.medium.nTotalBytes = GetLE(value, 0, 8);
        break;
      case kBelowMount: out.medium.strBelowMount = value; break;
      case kIdSource: out.medium.strIdSource = value; break;
      case kInnerMount: out.innerMounts.push_back(value); break;
      case kKindsRecorded: out.bKindsRecorded = true; break;
      case kCatalogId:
        if (value.size() != kCatalogIdBytes) return false;
        out.strCatalogId = value;
        break;
      case kChosenPath: out.chosenPaths.push_back(value); break;
      case kFollowLinks: out.bFollowLinks = true; break;
      case kCrossFileSystems: out.bCrossFileSystems = true; break;
      case kExclude: out.excludes.push_back(value); break;
      case kHashContents: out.bHashContents = true; break;
      case kArchiveDepth:
        if (value.size() != 4 || GetLE(value, 0, 4) > kMaxArchiveDepth) return false;
        out.nArchiveDepth = int(GetLE(value, 0, 4));
        break;
      default: out.strUnknownFields.append(field); break;
    }
  }
  return true;
}

std::string NewCatalogId() {
  std::random_device source;
  std::string id;
  while (id.size() < kCatalogIdBytes) {
    const std::uint32_t word = source();
    for (int i = 0; i < 4 && id.size() < kCatalogIdBytes; ++i) id += char(word >> (8 * i));
  }
  return id;
}

std::string CatalogIdText(const std::string& id) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const char byte : id) {
    text += kDigits[std::uint8_t(byte) >> 4];
    text += kDigits[std::uint8_t(byte) & 15];
  }
  return text;
}

std::string CatalogRecordText(const CCatalogRecord& record) {
  const CMediumIdentity& medium = record.medium;
  const auto join = [](const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + EscapeBytes(item, false);
    return text;
  };
  std::string text =
      "ボリュームラベル: " + (medium.strVolumeLabel.empty() ? std::string("なし") : medium.strVolumeLabel);
  text += "\nファイルシステム: " + (medium.strFileSystem.empty() ? std::string("不明") : medium.strFileSystem);
  text += "\nID: " + (medium.strId.empty() ? std::string("なし") : medium.strId + IdSourceText(medium.strIdSource));
  if (!record.strCatalogId.empty()) text += "\nカタログ ID: " + CatalogIdText(record.strCatalogId);
  text += "\n合計サイズ: " + FormatSize(medium.nTotalBytes, true);
  text += "\nファイルシステム内の場所: " + EscapeBytes(medium.strBelowMount, false);
  text += "\n選択したパス: " + (record.chosenPaths.empty() ? std::string("全体") : join(record.chosenPaths));
  text += "\nリンクをたどる: " + std::string(record.bFollowLinks ? "はい" : "いいえ");
  text += "\n他のファイルシステムに入る: " + std::string(record.bCrossFileSystems ? "はい" : "いいえ");
  text += "\nハッシュ: " + std::string(record.bHashContents ? "計算する (XXH128)" : "計算しない");
  text += "\nアーカイブの中身: " + (record.nArchiveDepth > 0
                                        ? "一覧にする (深さ " + std::to_string(record.nArchiveDepth) + ")"
                                        : std::string("一覧にしない"));
  text += "\n除外パターン: " + (record.excludes.empty() ? std::string("なし") : join(record.excludes));
  return text;
}
