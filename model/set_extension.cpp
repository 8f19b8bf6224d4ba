#include "model/set_extension.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <cstring>

#include "model/le_bytes.h"
#include "model/member_records.h"
#include "model/root_file_info.h"

namespace {

constexpr char kMagic[] = {'Q', 'R', 'X', 'B'};
constexpr std::size_t kMagicSize = sizeof kMagic;
constexpr std::uint16_t kVersion = 2;
constexpr std::size_t kHeaderFieldsSize = 40;  // up to the header's own check
constexpr std::size_t kHeaderSize = 48;
constexpr std::size_t kRecordFieldsSize = 12;       // type, flags, key, length
constexpr std::size_t kRecordHeadCheckedSize = 20;  // the fields and the record's check
constexpr std::size_t kRecordHeaderSize = 28;
// Version 1, still read: one hash over the whole block, in a trailer.
constexpr std::uint16_t kVersion1 = 1;
constexpr std::size_t kHeaderSize1 = 32;
constexpr std::size_t kRecordHeaderSize1 = 12;
constexpr std::size_t kTrailerSize1 = 8;

enum : std::uint16_t {
  kCatalogRecord = 1,   // how a catalog was made (catalog_record.h)
  kItemFlags = 2,       // u32 offset from the catalog, u16 flags; ascending
  kFingerprints = 3,    // u32 offset from the catalog, 16-byte XXH128; ascending
  kArchiveMembers = 4,  // listed archives' members (member_records.h)
  kMemberTimes = 5,     // their creation times (member_records.h)
};

// The item flags the block keeps: facts the scan recorded.
constexpr std::uint16_t kFlagRealNameCp932 = 1;
constexpr std::uint16_t kFlagUnreadable = 2;
constexpr std::uint16_t kFlagLink = 4;
constexpr std::uint16_t kFlagSpecial = 8;

// A record's check: its fields and then its payload.
std::uint64_t RecordCheck(std::string_view fields, std::string_view payload) {
  CStreamHash hash;
  hash.Update(fields.data(), fields.size());
  hash.Update(payload.data(), payload.size());
  return hash.Digest();
}

void PutRecord(std::string& out, std::uint16_t type, std::uint32_t key, std::string_view payload) {
  const std::size_t start = out.size();
  PutLE(out, type, 2);
  PutLE(out, 0, 2);
  PutLE(out, key, 4);
  PutLE(out, payload.size(), 4);
  PutLE(out, RecordCheck(std::string_view(out).substr(start, kRecordFieldsSize), payload), 8);
  PutLE(out, XXH3_64bits(out.data() + start, kRecordHeadCheckedSize), 8);
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
    case EExtensionState::Damaged:
      return "カタログのメディアと作成方法などの記録が壊れているため、読めた記録だけを使います";
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
    const std::string times = EncodeMemberTimes(*catalog, members);
    if (!times.empty()) add(kMemberTimes, position, times);
    for (const CExtensionRecord& record : catalog->m_extraRecords)
      add(record.nType, position + record.nKey, record.strPayload);
  }
  if (count == 0) return {};
  std::string block(kMagic, kMagicSize);
  PutLE(block, kVersion, 2);
  PutLE(block, 0, 2);
  PutLE(block, setLength, 8);
  PutLE(block, setHash, 8);
  PutLE(block, count, 4);
  PutLE(block, 0, 4);
  PutLE(block, kHeaderSize + records.size(), 8);
  PutLE(block, HashBytes(block), 8);
  block += records;
  return block;
}

namespace {

// The fuzzer's mutations reach the records past the stamp and the hashes of
// payloads; the header checks still count, so that it reaches the
// resynchronising too.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr bool kFuzzing = true;
#else
constexpr bool kFuzzing = false;
#endif

bool StampHolds(std::string_view block, std::uint64_t setLength, std::uint64_t setHash) {
  return kFuzzing || (GetLE(block, 8, 8) == setLength && GetLE(block, 16, 8) == setHash);
}

// Version 1: the block whole, or Damaged or Stale and no records.
EExtensionState ReadVersion1(std::string_view block, std::uint64_t setLength, std::uint64_t setHash,
                             std::vector<CExtensionRecord>& records) {
  if (block.size() < kHeaderSize1 + kTrailerSize1) return EExtensionState::Damaged;
  const std::string_view body = block.substr(0, block.size() - kTrailerSize1);
  if (!kFuzzing && GetLE(block, body.size(), 8) != HashBytes(body)) return EExtensionState::Damaged;
  if (!StampHolds(block, setLength, setHash)) return EExtensionState::Stale;
  const std::uint64_t count = GetLE(block, 24, 4);
  std::size_t at = kHeaderSize1;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (body.size() - at < kRecordHeaderSize1) return EExtensionState::Damaged;
    CExtensionRecord record;
    record.nType = std::uint16_t(GetLE(body, at, 2));
    record.nKey = std::uint32_t(GetLE(body, at + 4, 4));
    const std::uint64_t length = GetLE(body, at + 8, 4);
    at += kRecordHeaderSize1;
    if (body.size() - at < length) return EExtensionState::Damaged;
    record.strPayload.assign(body.substr(at, std::size_t(length)));
    at += std::size_t(length);
    records.push_back(std::move(record));
  }
  return at == body.size() ? EExtensionState::Loaded : EExtensionState::Damaged;
}

bool RecordHeaderAt(std::string_view block, std::size_t at) {
  return block.size() - at >= kRecordHeaderSize &&
         GetLE(block, at + kRecordHeadCheckedSize, 8) == HashBytes(block.substr(at, kRecordHeadCheckedSize));
}

// The version 2 records of block, which ends where the block says it ends.
// A record whose header holds but whose payload does not is skipped by its
// length; bytes where no header holds are skipped up to the next offset
// where one does. Each offset costs one check of 20 bytes and each payload
// is hashed once at most, so damage never makes reading slower than linear.
void ReadRecords(std::string_view block, std::vector<CExtensionRecord>& records, CExtensionDamage& damage) {
  constexpr std::size_t kNone = std::string_view::npos;
  std::size_t gapFrom = kNone;
  const auto endGap = [&](std::size_t to) {
    if (gapFrom == kNone) return;
    damage.nUnreadBytes += to - gapFrom;
    ++damage.nLost;  // at least one
    gapFrom = kNone;
  };
  std::size_t at = kHeaderSize;
  while (at < block.size()) {
    if (!RecordHeaderAt(block, at)) {
      if (gapFrom == kNone) gapFrom = at;
      ++at;
      continue;
    }
    endGap(at);
    const std::uint64_t length = GetLE(block, at + 8, 4);
    const std::size_t payloadAt = at + kRecordHeaderSize;
    if (block.size() - payloadAt < length) {
      damage.bCutShort = true;
      ++damage.nLost;
      damage.nUnreadBytes += block.size() - at;
      return;
    }
    const std::string_view payload = block.substr(payloadAt, std::size_t(length));
    if (kFuzzing ||
        GetLE(block, at + kRecordFieldsSize, 8) == RecordCheck(block.substr(at, kRecordFieldsSize), payload)) {
      records.push_back(
          {std::uint16_t(GetLE(block, at, 2)), std::uint32_t(GetLE(block, at + 4, 4)), std::string(payload)});
    } else {
      ++damage.nLost;
      damage.nUnreadBytes += kRecordHeaderSize + payload.size();
    }
    at = payloadAt + payload.size();
  }
  endGap(block.size());
}

// Takes records (keys counted from the set) into set. A record whose key
// names no item, a known record about anything but a catalog and one that
// does not read are left out; with whole, one such leaves out every record.
// Returns how many were left out for what they are.
std::size_t TakeRecords(std::vector<CExtensionRecord>& records, CRootFileInfo& set,
                        const std::vector<CCatalogSpan>& spans, bool whole) {
  const auto spanOf = [&](std::uint32_t key) -> const CCatalogSpan* {
    if (key == 0) return nullptr;
    const auto it = std::upper_bound(spans.begin(), spans.end(), key,
                                     [](std::uint32_t k, const CCatalogSpan& span) { return k < span.nStart; });
    if (it == spans.begin() || key >= std::prev(it)->nEnd) return nullptr;
    return &*std::prev(it);
  };
  std::vector<CCatalogRecord> parsed(records.size());
  std::vector<CItemFlags> flags(records.size());
  std::vector<CFingerprintTable> fingerprints(records.size());
  std::vector<bool> usable(records.size());
  std::size_t refused = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const CExtensionRecord& record = records[i];
    const std::uint32_t key = record.nKey;
    const CCatalogSpan* span = spanOf(key);
    const bool known = record.nType == kCatalogRecord || record.nType == kItemFlags || record.nType == kFingerprints ||
                       record.nType == kArchiveMembers || record.nType == kMemberTimes;
    bool read = (key == 0 || span != nullptr) && (!known || (span != nullptr && span->nStart == key));
    if (read) {
      const std::uint32_t itemCount = key == 0 ? 0 : span->nEnd - key - 1;
      read = record.nType == kCatalogRecord    ? DecodeCatalogRecord(record.strPayload, parsed[i])
             : record.nType == kItemFlags      ? ReadItemFlags(record.strPayload, itemCount, flags[i])
             : record.nType == kFingerprints   ? fingerprints[i].Decode(record.strPayload, itemCount)
             : record.nType == kArchiveMembers ? CheckMemberRecords(record.strPayload, *span->pCatalog)
             : record.nType == kMemberTimes    ? CheckMemberTimes(record.strPayload)
                                               : true;
    }
    usable[i] = read;
    refused += read ? 0 : 1;
  }
  if (whole && refused != 0) return refused;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!usable[i]) continue;
    CExtensionRecord& record = records[i];
    if (record.nKey == 0) {
      set.m_extraRecords.push_back(std::move(record));
      continue;
    }
    const CCatalogSpan& span = *spanOf(record.nKey);
    if (record.nType == kCatalogRecord) {
      span.pCatalog->m_record = std::move(parsed[i]);
    } else if (record.nType == kItemFlags) {
      ApplyItemFlags(flags[i], *span.pCatalog);
    } else if (record.nType == kFingerprints) {
      span.pCatalog->m_fingerprints.Swap(fingerprints[i]);
    } else if (record.nType == kArchiveMembers) {
      ApplyMemberRecords(record.strPayload, *span.pCatalog);
    } else if (record.nType == kMemberTimes) {
      continue;  // once the members are in place
    } else {
      record.nKey -= span.nStart;
      span.pCatalog->m_extraRecords.push_back(std::move(record));
    }
  }
  for (std::size_t i = 0; i < records.size(); ++i)
    if (usable[i] && records[i].nType == kMemberTimes)
      ApplyMemberTimes(records[i].strPayload, *spanOf(records[i].nKey)->pCatalog);
  return refused;
}

}  // namespace

EExtensionState ApplyExtensionBlock(std::string_view block, std::uint64_t setLength, std::uint64_t setHash,
                                    CRootFileInfo& set, const std::vector<CCatalogSpan>& spans) {
  CExtensionDamage& damage = set.m_extensionDamage;
  damage = {};
  if (block.empty()) return EExtensionState::None;
  const bool startsAsBlock = std::memcmp(block.data(), kMagic, std::min(block.size(), kMagicSize)) == 0;
  const bool magic = startsAsBlock && block.size() >= kMagicSize;
  std::vector<CExtensionRecord> records;
  if (magic && block.size() >= 6) {
    const auto version = GetLE(block, 4, 2);
    if (version == kVersion1) {
      EExtensionState state = ReadVersion1(block, setLength, setHash, records);
      if (state == EExtensionState::Loaded && TakeRecords(records, set, spans, true) != 0)
        state = EExtensionState::Damaged;
      if (state == EExtensionState::Damaged) damage.nUnreadBytes = block.size();
      return state;
    }
    if (version != kVersion) return EExtensionState::Unsupported;
  }

  // Records are taken only from a block whose stamp holds: with the header
  // read, a stamp that does not hold is another set object's block; with
  // the header damaged, it could be either, and the records are lost.
  const bool headerRead = magic && block.size() >= kHeaderSize &&
                          GetLE(block, kHeaderFieldsSize, 8) == HashBytes(block.substr(0, kHeaderFieldsSize));
  std::uint64_t count = 0;
  if (headerRead) {
    if (!StampHolds(block, setLength, setHash)) return EExtensionState::Stale;
    count = GetLE(block, 24, 4);
    const std::uint64_t length = std::max<std::uint64_t>(GetLE(block, 32, 8), kHeaderSize);
    damage.bCountKnown = true;
    if (length < block.size()) {
      damage.nUnreadBytes = block.size() - length;  // bytes after the block's end
      block = block.substr(0, std::size_t(length));
    }
    damage.bCutShort = length > block.size();
  } else if (block.size() < kHeaderSize && startsAsBlock) {
    damage.bCutShort = true;
    damage.nUnreadBytes = block.size();
    return EExtensionState::Damaged;
  } else {
    damage.bStart = true;
    if (block.size() < kHeaderSize || !StampHolds(block, setLength, setHash)) {
      damage.nUnreadBytes = block.size();
      return EExtensionState::Damaged;
    }
  }
  ReadRecords(block, records, damage);
  const std::size_t read = records.size();
  const std::size_t refused = TakeRecords(records, set, spans, false);
  damage.nKept = std::uint32_t(read - refused);
  damage.nLost += std::uint32_t(refused);
  if (damage.bCountKnown && count >= damage.nKept)
    damage.nLost = std::uint32_t(count - damage.nKept);
  else
    damage.bCountKnown = false;
  if (damage.bStart || damage.bCutShort || damage.nLost != 0 || damage.nUnreadBytes != 0)
    return EExtensionState::Damaged;
  damage = {};
  return EExtensionState::Loaded;
}
