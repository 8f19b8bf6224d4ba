#include "model/set_extension.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <cstring>

#include "model/le_bytes.h"
#include "model/member_records.h"
#include "model/root_file_info.h"

namespace {

constexpr char kMagic[kExtensionMagicSize] = {'Q', 'R', 'X', 'B'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kRecordHeaderSize = 12;
constexpr std::size_t kTrailerSize = 8;

enum : std::uint16_t {
  kCatalogRecord = 1,   // how a catalog was made (catalog_record.h)
  kItemFlags = 2,       // u32 offset from the catalog, u16 flags; ascending
  kFingerprints = 3,    // u32 offset from the catalog, 16-byte XXH128; ascending
  kArchiveMembers = 4,  // listed archives' members (member_records.h)
};

// The item flags the block keeps: facts the scan recorded.
constexpr std::uint16_t kFlagRealNameCp932 = 1;
constexpr std::uint16_t kFlagUnreadable = 2;
constexpr std::uint16_t kFlagLink = 4;
constexpr std::uint16_t kFlagSpecial = 8;

void PutRecord(std::string& out, std::uint16_t type, std::uint32_t key, std::string_view payload) {
  PutLE(out, type, 2);
  PutLE(out, 0, 2);
  PutLE(out, key, 4);
  PutLE(out, payload.size(), 4);
  out.append(payload);
}

// Calls each(item, offset) for every item below catalog in pre-order, the
// first child at offset 1.
template <class FEach>
void ForItemsBelow(const CDriveFileInfo& catalog, FEach&& each) {
  std::uint32_t offset = 0;
  WalkBelow(catalog, {},
            [&](const CFileInfo& item, const CWalkPath&) { each(const_cast<CFileInfo&>(item), ++offset); });
}

using CItemFlags = std::vector<std::pair<std::uint32_t, std::uint16_t>>;

// The flags listed in payload, for a catalog of itemCount items below it;
// false when the payload does not read or names no item.
bool ReadItemFlags(std::string_view payload, std::uint32_t itemCount, CItemFlags& flags) {
  if (payload.size() % 6 != 0) return false;
  for (std::size_t at = 0; at < payload.size(); at += 6) {
    const auto offset = std::uint32_t(GetLE(payload, at, 4));
    if (offset == 0 || offset > itemCount || (!flags.empty() && offset <= flags.back().first)) return false;
    flags.emplace_back(offset, std::uint16_t(GetLE(payload, at + 4, 2)));
  }
  return true;
}

void ApplyItemFlags(const CItemFlags& flags, CDriveFileInfo& catalog) {
  std::size_t next = 0;
  ForItemsBelow(catalog, [&](CFileInfo& item, std::uint32_t offset) {
    if (next == flags.size() || flags[next].first != offset) return;
    item.SetRealNameCp932((flags[next].second & kFlagRealNameCp932) != 0);
    item.SetUnreadable((flags[next].second & kFlagUnreadable) != 0);
    const std::uint16_t kind = flags[next].second;
    item.SetEntryKind((kind & kFlagLink) != 0      ? CFileInfo::EEntryKind::Link
                      : (kind & kFlagSpecial) != 0 ? CFileInfo::EEntryKind::Special
                                                   : CFileInfo::EEntryKind::Regular);
    ++next;
  });
}

}  // namespace

struct CStreamHash::CState {
  XXH3_state_t state;
};

CStreamHash::CStreamHash() : m_pState(new CState) { XXH3_64bits_reset(&m_pState->state); }
CStreamHash::~CStreamHash() { delete m_pState; }
void CStreamHash::Update(const void* data, std::size_t size) { XXH3_64bits_update(&m_pState->state, data, size); }
std::uint64_t CStreamHash::Digest() const { return XXH3_64bits_digest(&m_pState->state); }

const char* ExtensionNotice(EExtensionState state) {
  switch (state) {
    case EExtensionState::Stale:
      return "このカタログセットは別のプログラムで保存されたため、カタログのメディアと作成方法の記録を使いません";
    case EExtensionState::Damaged: return "カタログのメディアと作成方法の記録が壊れているため、使いません";
    case EExtensionState::Unsupported: return "カタログのメディアと作成方法の記録は新しい版の形式のため、使いません";
    default: return nullptr;
  }
}

std::uint64_t HashBytes(std::string_view bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

std::uint16_t KeptFlagsOf(const CFileInfo& item) {
  const CFileInfo::EEntryKind kind = item.EntryKind();
  return std::uint16_t((item.IsRealNameCp932() ? kFlagRealNameCp932 : 0) | (item.IsUnreadable() ? kFlagUnreadable : 0) |
                       (kind == CFileInfo::EEntryKind::Link      ? kFlagLink
                        : kind == CFileInfo::EEntryKind::Special ? kFlagSpecial
                                                                 : 0));
}

bool LooksLikeExtensionBlock(std::string_view start) {
  return start.size() >= kExtensionMagicSize && std::memcmp(start.data(), kMagic, kExtensionMagicSize) == 0;
}

std::string BuildExtensionBlock(const CRootFileInfo& set, const CExtensionPlaces& places, std::uint64_t setLength,
                                std::uint64_t setHash) {
  std::string records;
  std::uint32_t count = 0;
  const auto add = [&](std::uint16_t type, std::uint32_t key, std::string_view payload) {
    PutRecord(records, type, key, payload);
    ++count;
  };
  for (const CExtensionRecord& record : set.m_extraRecords) add(record.nType, record.nKey, record.strPayload);
  // The set's own catalogs, in the order written; catalogs nested in one
  // (hand-made sets) count as its items.
  std::vector<std::pair<const CDriveFileInfo*, std::uint32_t>> catalogs;
  auto child = set.Children().begin();
  for (const auto& place : places.catalogs) {
    while (child != set.Children().end() && child->get() != place.first && !(*child)->IsCatalog()) ++child;
    if (child == set.Children().end() || child->get() != place.first) continue;
    catalogs.push_back(place);
    ++child;
  }
  auto flagged = places.flagged.begin();
  for (std::size_t i = 0; i < catalogs.size(); ++i) {
    const auto& [catalog, position] = catalogs[i];
    if (catalog->m_record) add(kCatalogRecord, position, EncodeCatalogRecord(*catalog->m_record));
    const std::uint32_t end = i + 1 < catalogs.size() ? catalogs[i + 1].second : UINT32_MAX;
    std::string flags;
    for (; flagged != places.flagged.end() && flagged->first < end; ++flagged) {
      if (flagged->first <= position) continue;
      PutLE(flags, flagged->first - position, 4);
      PutLE(flags, flagged->second, 2);
    }
    if (!flags.empty()) add(kItemFlags, position, flags);
    if (!catalog->m_fingerprints.Empty()) add(kFingerprints, position, catalog->m_fingerprints.Encode());
    const std::string members = EncodeMemberRecords(*catalog);
    if (!members.empty()) add(kArchiveMembers, position, members);
    for (const CExtensionRecord& record : catalog->m_extraRecords)
      add(record.nType, position + record.nKey, record.strPayload);
  }
  if (count == 0) return {};
  std::string block(kMagic, kExtensionMagicSize);
  PutLE(block, kVersion, 2);
  PutLE(block, 0, 2);
  PutLE(block, setLength, 8);
  PutLE(block, setHash, 8);
  PutLE(block, count, 4);
  PutLE(block, 0, 4);
  block += records;
  PutLE(block, HashBytes(block), 8);
  return block;
}

EExtensionState ApplyExtensionBlock(std::string_view block, std::uint64_t setLength, std::uint64_t setHash,
                                    CRootFileInfo& set, const std::vector<CCatalogSpan>& spans) {
  if (!LooksLikeExtensionBlock(block)) return EExtensionState::None;
  if (block.size() < kHeaderSize + kTrailerSize) return EExtensionState::Damaged;
  if (GetLE(block, 4, 2) != kVersion) return EExtensionState::Unsupported;
  const std::string_view body = block.substr(0, block.size() - kTrailerSize);
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION  // lets the fuzzer reach the records past the hashes
  if (GetLE(block, body.size(), 8) != HashBytes(body)) return EExtensionState::Damaged;
  if (GetLE(block, 8, 8) != setLength || GetLE(block, 16, 8) != setHash) return EExtensionState::Stale;
#endif

  // Read every record before changing anything: a block that does not read
  // to its end gives nothing.
  std::vector<std::pair<std::uint32_t, CExtensionRecord>> records;
  const std::uint64_t count = GetLE(block, 24, 4);
  std::size_t at = kHeaderSize;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (body.size() - at < kRecordHeaderSize) return EExtensionState::Damaged;
    CExtensionRecord record;
    record.nType = std::uint16_t(GetLE(body, at, 2));
    record.nKey = std::uint32_t(GetLE(body, at + 4, 4));
    const std::uint64_t length = GetLE(body, at + 8, 4);
    at += kRecordHeaderSize;
    if (body.size() - at < length) return EExtensionState::Damaged;
    record.strPayload.assign(body.substr(at, std::size_t(length)));
    at += std::size_t(length);
    records.emplace_back(record.nKey, std::move(record));
  }
  if (at != body.size()) return EExtensionState::Damaged;

  // Records of items no longer there, and known records about anything but
  // a catalog, mean the block does not describe this tree.
  const auto spanOf = [&](std::uint32_t key) -> const CCatalogSpan* {
    const auto it = std::upper_bound(spans.begin(), spans.end(), key,
                                     [](std::uint32_t k, const CCatalogSpan& span) { return k < span.nStart; });
    if (it == spans.begin() || key >= std::prev(it)->nEnd) return nullptr;
    return &*std::prev(it);
  };
  for (const auto& [key, record] : records) {
    const CCatalogSpan* span = key == 0 ? nullptr : spanOf(key);
    const bool known = record.nType == kCatalogRecord || record.nType == kItemFlags || record.nType == kFingerprints ||
                       record.nType == kArchiveMembers;
    if (key != 0 && span == nullptr) return EExtensionState::Damaged;
    if (known && (span == nullptr || span->nStart != key)) return EExtensionState::Damaged;
  }
  std::vector<CCatalogRecord> parsed(records.size());
  std::vector<CItemFlags> flags(records.size());
  std::vector<CFingerprintTable> fingerprints(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto& [key, record] = records[i];
    const std::uint32_t itemCount = key == 0 ? 0 : spanOf(key)->nEnd - key - 1;
    const bool read = record.nType == kCatalogRecord    ? DecodeCatalogRecord(record.strPayload, parsed[i])
                      : record.nType == kItemFlags      ? ReadItemFlags(record.strPayload, itemCount, flags[i])
                      : record.nType == kFingerprints   ? fingerprints[i].Decode(record.strPayload, itemCount)
                      : record.nType == kArchiveMembers ? CheckMemberRecords(record.strPayload, *spanOf(key)->pCatalog)
                                                        : true;
    if (!read) return EExtensionState::Damaged;
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    auto& [key, record] = records[i];
    if (key == 0) {
      set.m_extraRecords.push_back(std::move(record));
      continue;
    }
    const CCatalogSpan& span = *spanOf(key);
    if (record.nType == kCatalogRecord) {
      span.pCatalog->m_record = std::move(parsed[i]);
    } else if (record.nType == kItemFlags) {
      ApplyItemFlags(flags[i], *span.pCatalog);
    } else if (record.nType == kFingerprints) {
      span.pCatalog->m_fingerprints.Swap(fingerprints[i]);
    } else if (record.nType == kArchiveMembers) {
      ApplyMemberRecords(record.strPayload, *span.pCatalog);
    } else {
      record.nKey = key - span.nStart;
      span.pCatalog->m_extraRecords.push_back(std::move(record));
    }
  }
  return EExtensionState::Loaded;
}
