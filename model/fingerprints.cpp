#include "model/fingerprints.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <unordered_map>

#include "model/le_bytes.h"
#include "model/root_file_info.h"

std::string CFingerprint::Hex() const {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(32, '0');
  for (int i = 0; i < 16; ++i) {
    text[std::size_t(15 - i)] = kDigits[(nHigh >> (4 * i)) & 0xF];
    text[std::size_t(31 - i)] = kDigits[(nLow >> (4 * i)) & 0xF];
  }
  return text;
}

std::optional<CFingerprint> ParseFingerprint(std::string_view text) {
  if (text.size() != 32) return std::nullopt;
  CFingerprint out;
  for (std::size_t i = 0; i < 32; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    std::uint64_t& half = i < 16 ? out.nHigh : out.nLow;
    half = (half << 4) | std::uint64_t(digit);
  }
  return out;
}

struct CContentHash::CState {
  XXH3_state_t state;
};

CContentHash::CContentHash() : m_pState(new CState) { XXH3_128bits_reset(&m_pState->state); }
CContentHash::~CContentHash() { delete m_pState; }
void CContentHash::Update(const void* data, std::size_t size) { XXH3_128bits_update(&m_pState->state, data, size); }
CFingerprint CContentHash::Digest() const {
  const XXH128_hash_t hash = XXH3_128bits_digest(&m_pState->state);
  return {hash.low64, hash.high64};
}

CFingerprint CFingerprintTable::CEntry::Fingerprint() const {
  return {aWords[0] | std::uint64_t(aWords[1]) << 32, aWords[2] | std::uint64_t(aWords[3]) << 32};
}

void CFingerprintTable::CEntry::Set(const CFingerprint& fingerprint) {
  aWords[0] = std::uint32_t(fingerprint.nLow);
  aWords[1] = std::uint32_t(fingerprint.nLow >> 32);
  aWords[2] = std::uint32_t(fingerprint.nHigh);
  aWords[3] = std::uint32_t(fingerprint.nHigh >> 32);
}

std::optional<CFingerprint> CFingerprintTable::Find(std::uint32_t offset) const {
  const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), offset,
                                   [](const CEntry& entry, std::uint32_t key) { return entry.nOffset < key; });
  if (it == m_entries.end() || it->nOffset != offset) return std::nullopt;
  return it->Fingerprint();
}

void CFingerprintTable::Add(std::vector<std::pair<std::uint32_t, CFingerprint>> items) {
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CEntry> merged;
  merged.reserve(m_entries.size() + items.size());
  auto old = m_entries.begin();
  for (auto it = items.begin(); it != items.end(); ++it) {
    // The last of several for one offset wins.
    if (std::next(it) != items.end() && std::next(it)->first == it->first) continue;
    while (old != m_entries.end() && old->nOffset < it->first) merged.push_back(*old++);
    if (old != m_entries.end() && old->nOffset == it->first) ++old;
    CEntry entry{it->first, {}};
    entry.Set(it->second);
    merged.push_back(entry);
  }
  merged.insert(merged.end(), old, m_entries.end());
  m_entries.swap(merged);
}

void CFingerprintTable::RemoveRange(std::uint32_t first, std::uint32_t count) {
  std::vector<CEntry> kept;
  kept.reserve(m_entries.size());
  for (CEntry entry : m_entries) {
    if (entry.nOffset >= first && entry.nOffset - first < count) continue;
    if (entry.nOffset >= first) entry.nOffset -= count;
    kept.push_back(entry);
  }
  m_entries.swap(kept);
}

std::string CFingerprintTable::Encode() const {
  std::string out;
  out.reserve(m_entries.size() * 20);
  for (const CEntry& entry : m_entries) {
    PutLE(out, entry.nOffset, 4);
    XXH128_canonical_t canonical;
    const CFingerprint fingerprint = entry.Fingerprint();
    XXH128_canonicalFromHash(&canonical, XXH128_hash_t{fingerprint.nLow, fingerprint.nHigh});
    out.append(reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest);
  }
  return out;
}

bool CFingerprintTable::Decode(std::string_view payload, std::uint32_t itemCount) {
  if (payload.size() % 20 != 0) return false;
  std::vector<CEntry> entries;
  entries.reserve(payload.size() / 20);
  for (std::size_t at = 0; at < payload.size(); at += 20) {
    const auto offset = std::uint32_t(GetLE(payload, at, 4));
    if (offset == 0 || offset > itemCount || (!entries.empty() && offset <= entries.back().nOffset)) return false;
    XXH128_canonical_t canonical;
    std::copy_n(payload.data() + at + 4, sizeof canonical.digest, reinterpret_cast<char*>(canonical.digest));
    const XXH128_hash_t hash = XXH128_hashFromCanonical(&canonical);
    CEntry entry{offset, {}};
    entry.Set({hash.low64, hash.high64});
    entries.push_back(entry);
  }
  m_entries.swap(entries);
  return true;
}

bool CFingerprintTable::operator==(const CFingerprintTable& other) const {
  return std::equal(
      m_entries.begin(), m_entries.end(), other.m_entries.begin(), other.m_entries.end(),
      [](const CEntry& a, const CEntry& b) { return a.nOffset == b.nOffset && a.Fingerprint() == b.Fingerprint(); });
}

std::optional<CFingerprint> FingerprintOf(const CDriveFileInfo& catalog, const CFileInfo& item) {
  if (catalog.m_fingerprints.Empty()) return std::nullopt;
  std::uint32_t found = 0;
  ForItemsWithOffsets(catalog, [&](const CFileInfo& each, std::uint32_t offset) {
    if (&each == &item) found = offset;
  });
  if (found == 0) return std::nullopt;
  return catalog.m_fingerprints.Find(found);
}

std::vector<std::optional<CFingerprint>> FingerprintsOfItems(const CRootFileInfo& set,
                                                             const std::vector<const CFileInfo*>& items) {
  std::vector<std::optional<CFingerprint>> out(items.size());
  std::unordered_map<const CFileInfo*, std::vector<std::size_t>> wanted;
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] != nullptr && !items[i]->IsContainer()) wanted[items[i]].push_back(i);
  if (wanted.empty()) return out;
  for (const auto& child : set.Children()) {
    if (!child->IsCatalog()) continue;
    const auto& catalog = static_cast<const CDriveFileInfo&>(*child);
    if (catalog.m_fingerprints.Empty()) continue;
    ForItemsWithOffsets(catalog, [&](const CFileInfo& item, std::uint32_t offset) {
      const auto it = wanted.find(&item);
      if (it == wanted.end()) return;
      const std::optional<CFingerprint> fingerprint = catalog.m_fingerprints.Find(offset);
      for (std::size_t index : it->second) out[index] = fingerprint;
    });
  }
  return out;
}
