#include "model/copy_groups.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <tuple>

#include "model/medium_match.h"
#include "model/search_fold.h"
#include "model/set_extension.h"

namespace {

constexpr std::uint64_t kFileTimeTicksPerSecond = 10000000;

// Sort keys packed in four-byte words, so that a million of them stay small.
struct CContentKey {
  std::uint32_t aWords[4];
  std::uint32_t nFile;
  bool operator<(const CContentKey& other) const {
    return std::lexicographical_compare(std::rbegin(aWords), std::rend(aWords), std::rbegin(other.aWords),
                                        std::rend(other.aWords));
  }
  bool SameKey(const CContentKey& other) const { return std::equal(aWords, aWords + 4, other.aWords); }
};

struct CNameKey {
  std::uint32_t nLow, nHigh, nFile;
  std::uint64_t Key() const { return std::uint64_t(nHigh) << 32 | nLow; }
};

bool Cancelled(const std::atomic<bool>* cancel) { return cancel != nullptr && cancel->load(); }

// A link holds no content of its own: it is no copy of its target, nor of
// another link.
bool IsCountedFile(const CFileInfo& item, std::uint64_t minSize) {
  return !item.IsContainer() && item.RecordSize() >= minSize && !item.IsLink();
}

}  // namespace

template <class FEach>
void CCopyIndex::ForEachFile(FEach&& each) const {
  std::uint32_t catalogIndex = 0;
  for (const CCopyCatalog& catalog : m_catalogs) {
    WalkBelow(*catalog.pCatalog, std::string(catalog.pCatalog->GetName()),
              [&, index = catalogIndex](const CFileInfo& item, const CWalkPath& path) {
                if (IsCountedFile(item, m_nMinSize)) each(item, index, path);
              });
    ++catalogIndex;
  }
}

std::uint32_t CCopyIndex::Find(std::uint32_t file) {
  while (m_parent[file] != file) {
    m_parent[file] = m_parent[m_parent[file]];  // halving keeps the paths short
    file = m_parent[file];
  }
  return file;
}

void CCopyIndex::Join(std::uint32_t a, std::uint32_t b, bool likely) {
  a = Find(a);
  b = Find(b);
  if (a == b) return;
  if (b < a) std::swap(a, b);
  m_parent[b] = a;
  m_likely[a] = m_likely[a] || m_likely[b] || likely;
}

namespace {

// The medium of each catalog, as the index of the first catalog of it. One
// medium counted as two would make its files look backed up, so catalogs
// join on anything that says they are one: the catalog's own identity (a
// set and its copy), the medium's identity, or, where these cannot tell
// (sets another program saved without our records), the label, the time of
// cataloguing and the total size.
std::vector<std::uint32_t> MediaOfCatalogs(const std::vector<const CDriveFileInfo*>& catalogs) {
  std::vector<std::uint32_t> medium(catalogs.size());
  std::iota(medium.begin(), medium.end(), 0u);
  const auto find = [&](std::uint32_t c) {
    while (medium[c] != c) c = medium[c] = medium[medium[c]];
    return c;
  };
  const auto join = [&](std::uint32_t a, std::uint32_t b) {
    a = find(a);
    b = find(b);
    if (a != b) medium[std::max(a, b)] = std::min(a, b);
  };
  std::vector<std::string> ids(catalogs.size()), keys(catalogs.size());
  std::map<std::string, std::uint32_t> byId, byKey;
  std::map<std::tuple<std::string, std::int32_t, std::uint64_t>, std::vector<std::uint32_t>> alike;
  for (std::uint32_t c = 0; c < catalogs.size(); ++c) {
    const CDriveFileInfo& catalog = *catalogs[c];
    if (catalog.m_record) {
      ids[c] = catalog.m_record->strCatalogId;
      keys[c] = MediumIdKey(catalog.m_record->medium);
    }
    if (!ids[c].empty()) join(c, byId.emplace(ids[c], c).first->second);
    if (!keys[c].empty()) join(c, byKey.emplace(keys[c], c).first->second);
    alike[{catalog.m_strLabel, catalog.m_timeCataloged, catalog.m_nTotalBytes}].push_back(c);
  }
  // Two alike catalogs are one unless both have identities of one kind to
  // tell them apart. One catalog of each kind stands for the others, so a
  // set of many alike catalogs is not compared pair by pair.
  for (const auto& [facts, group] : alike) {
    constexpr std::uint32_t kNone = ~0u;
    std::uint32_t bare = kNone, idOnly = kNone, keyOnly = kNone;
    for (const std::uint32_t c : group) {
      const bool hasId = !ids[c].empty(), hasKey = !keys[c].empty();
      if (hasId != hasKey) (hasId ? idOnly : keyOnly) = std::min(hasId ? idOnly : keyOnly, c);
      if (!hasId && !hasKey) bare = std::min(bare, c);
    }
    for (const std::uint32_t c : group) {
      const bool hasId = !ids[c].empty(), hasKey = !keys[c].empty();
      if (bare != kNone) join(c, bare);
      if (hasId && !hasKey && keyOnly != kNone) join(c, keyOnly);
      if (!hasId && hasKey && idOnly != kNone) join(c, idOnly);
    }
  }
  for (std::uint32_t c = 0; c < catalogs.size(); ++c) medium[c] = find(c);
  return medium;
}

}  // namespace

bool CCopyIndex::Build(const std::vector<const CRootFileInfo*>& sets, const CCopyOptions& options,
                       const std::atomic<bool>* cancel) {
  *this = CCopyIndex();
  m_sets = sets;
  m_nMinSize = std::max<std::uint64_t>(options.nMinSize, 1);
  std::vector<const CDriveFileInfo*> catalogs;
  for (std::size_t s = 0; s < sets.size(); ++s) {
    for (const auto& child : sets[s]->Children()) {
      if (!child->IsCatalog()) continue;
      catalogs.push_back(static_cast<const CDriveFileInfo*>(child.get()));
      m_catalogs.push_back({s, catalogs.back(), 0});
    }
  }
  const std::vector<std::uint32_t> media = MediaOfCatalogs(catalogs);
  for (std::size_t c = 0; c < m_catalogs.size(); ++c) m_catalogs[c].nMedium = media[c];

  // The files, and the content keys of those with fingerprints.
  const bool byContent = options.eBy == ECopyMatch::Content;
  std::vector<CContentKey> contentKeys;
  std::vector<bool> hasFingerprint;
  std::uint32_t catalogIndex = 0;
  for (const CCopyCatalog& catalog : m_catalogs) {
    const CFingerprintTable& table = catalog.pCatalog->m_fingerprints;
    ForItemsWithOffsets(*catalog.pCatalog, [&](const CFileInfo& item, std::uint32_t offset) {
      if (!IsCountedFile(item, m_nMinSize)) return;
      const auto file = std::uint32_t(m_items.size());
      m_items.push_back(&item);
      m_catalogOfFile.push_back(catalogIndex);
      const std::optional<CFingerprint> fingerprint =
          byContent && !table.Empty() ? table.Find(offset) : std::optional<CFingerprint>();
      hasFingerprint.push_back(fingerprint.has_value());
      if (fingerprint)
        contentKeys.push_back({{std::uint32_t(fingerprint->nLow), std::uint32_t(fingerprint->nLow >> 32),
                                std::uint32_t(fingerprint->nHigh), std::uint32_t(fingerprint->nHigh >> 32)},
                               file});
    });
    ++catalogIndex;
    if (Cancelled(cancel)) return false;
  }
  m_parent.resize(m_items.size());
  std::iota(m_parent.begin(), m_parent.end(), 0u);
  m_likely.assign(m_items.size(), false);

  std::sort(contentKeys.begin(), contentKeys.end());
  for (std::size_t i = 1; i < contentKeys.size(); ++i)
    if (contentKeys[i].SameKey(contentKeys[i - 1])) Join(contentKeys[i - 1].nFile, contentKeys[i].nFile, false);
  const bool allFingerprinted = byContent && contentKeys.size() == m_items.size();
  std::vector<CContentKey>().swap(contentKeys);
  if (Cancelled(cancel)) return false;

  // Name (NFC), size and time, or the looser keys; with fingerprints on
  // both sides these never join, as the content has spoken.
  if (!allFingerprinted) {
    CSearchFolder folder(CTextOptions(), false);
    std::string scratch, keyBytes;
    std::vector<CNameKey> nameKeys;
    nameKeys.reserve(m_items.size());
    for (std::uint32_t file = 0; file < m_items.size(); ++file) {
      const CFileInfo& item = *m_items[file];
      std::uint64_t key = item.RecordSize();
      if (options.eBy != ECopyMatch::Size) {
        keyBytes.assign(folder.Fold(item.GetName(), scratch));
        for (int i = 0; i < 8; ++i) keyBytes += char(item.RecordSize() >> (8 * i));
        const std::uint64_t seconds = byContent ? item.WriteFileTime() / kFileTimeTicksPerSecond : 0;
        for (int i = 0; i < 8; ++i) keyBytes += char(seconds >> (8 * i));
        key = HashBytes(keyBytes);
      }
      nameKeys.push_back({std::uint32_t(key), std::uint32_t(key >> 32), file});
    }
    std::sort(nameKeys.begin(), nameKeys.end(), [](const CNameKey& a, const CNameKey& b) { return a.Key() < b.Key(); });
    for (std::size_t start = 0, end; start < nameKeys.size(); start = end) {
      for (end = start + 1; end < nameKeys.size() && nameKeys[end].Key() == nameKeys[start].Key();) ++end;
      std::size_t anchor = start;
      if (byContent) {
        while (anchor < end && hasFingerprint[nameKeys[anchor].nFile]) ++anchor;
        if (anchor == end) continue;
      }
      for (std::size_t i = start; i < end; ++i)
        if (i != anchor) Join(nameKeys[anchor].nFile, nameKeys[i].nFile, true);
    }
    if (Cancelled(cancel)) return false;
  }
  MakeGroupOrder();
  return true;
}

void CCopyIndex::MakeGroupOrder() {
  const auto n = std::uint32_t(m_items.size());
  std::vector<std::uint32_t> start(n + 1, 0);
  for (std::uint32_t file = 0; file < n; ++file) ++start[Find(file) + 1];
  std::vector<bool> likely;
  for (std::uint32_t root = 0; root < n; ++root) {
    if (start[root + 1] == 0) continue;
    likely.push_back(m_likely[root]);
  }
  std::partial_sum(start.begin(), start.end(), start.begin());
  for (std::uint32_t root = 0; root < n; ++root)
    if (start[root + 1] != start[root]) m_groupEnds.push_back(start[root + 1]);
  std::vector<std::uint32_t> order(n);
  for (std::uint32_t file = 0; file < n; ++file) order[start[m_parent[file]]++] = file;
  m_parent.swap(order);
  m_likely.swap(likely);
}

void CCopyIndex::GetGroup(std::size_t g, CCopyGroup& out) const {
  const std::uint32_t begin = g == 0 ? 0 : m_groupEnds[g - 1], end = m_groupEnds[g];
  out.members.assign(m_parent.begin() + begin, m_parent.begin() + end);
  out.nSize = m_items[out.members.front()]->RecordSize();
  out.bLikely = m_likely[g];
  // Counted by (medium, catalog), sorted in place for most groups (one or
  // two files). A file catalogued twice (one medium in two catalogs, a set
  // and its copy) is one file: on each medium, the copies are the most that
  // any one of its catalogs holds.
  const std::size_t n = out.members.size();
  std::array<std::pair<std::uint32_t, std::uint32_t>, 8> small;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> large;
  if (n > small.size()) large.resize(n);
  const auto keys = n > small.size() ? large.data() : small.data();
  for (std::size_t i = 0; i < n; ++i) keys[i] = {CatalogOf(out.members[i]).nMedium, CatalogIndexOf(out.members[i])};
  std::sort(keys, keys + n);
  out.nMedia = out.nCopies = 0;
  for (std::size_t i = 0; i < n;) {
    const std::uint32_t medium = keys[i].first;
    std::size_t most = 0;
    while (i < n && keys[i].first == medium) {
      std::size_t j = i;
      while (j < n && keys[j] == keys[i]) ++j;
      most = std::max(most, j - i);
      i = j;
    }
    ++out.nMedia;
    out.nCopies += std::uint32_t(most);
  }
}

std::vector<std::string> CCopyIndex::PathsOf(const std::vector<std::uint32_t>& files) const {
  std::vector<std::string> paths;
  paths.reserve(files.size());
  std::uint32_t file = 0;
  auto next = files.begin();
  ForEachFile([&](const CFileInfo& item, std::uint32_t, const CWalkPath& path) {
    if (next != files.end() && *next == file) {
      paths.push_back(path.PathOf(item));
      ++next;
    }
    ++file;
  });
  return paths;
}

CFewCopies FindFewCopies(const CCopyIndex& index, const std::vector<std::uint32_t>& chosen, std::uint32_t n) {
  CFewCopies out;
  std::vector<int> summaryOf(index.Catalogs().size(), -1);
  for (std::uint32_t c = 0; c < index.Catalogs().size(); ++c) {
    if (!chosen.empty() && std::find(chosen.begin(), chosen.end(), c) == chosen.end()) continue;
    summaryOf[c] = int(out.summaries.size());
    out.summaries.push_back({c});
  }
  std::vector<std::tuple<std::uint32_t, std::uint32_t, bool>> found;
  CCopyGroup group;
  for (std::size_t g = 0; g < index.GroupCount(); ++g) {
    index.GetGroup(g, group);
    for (std::uint32_t file : group.members) {
      const int summary = summaryOf[index.CatalogIndexOf(file)];
      if (summary < 0) continue;
      CCatalogCopySummary& counts = out.summaries[std::size_t(summary)];
      const std::uint64_t size = index.Item(file).RecordSize();
      ++counts.nCatalogFiles;
      counts.nCatalogBytes += size;
      if (group.nMedia >= n) continue;
      ++counts.nFiles;
      counts.nBytes += size;
      found.emplace_back(file, group.nMedia, group.bLikely);
    }
  }
  std::sort(found.begin(), found.end());
  for (const auto& [file, copies, likely] : found) {
    out.files.push_back(file);
    out.copies.push_back(copies);
    out.likely.push_back(likely);
  }
  return out;
}

std::vector<std::uint32_t> FindDuplicates(const CCopyIndex& index) {
  std::vector<std::pair<std::uint64_t, std::uint32_t>> waste;
  CCopyGroup group;
  for (std::size_t g = 0; g < index.GroupCount(); ++g) {
    index.GetGroup(g, group);
    if (group.nCopies < 2) continue;
    waste.emplace_back(group.nSize * (group.nCopies - 1), std::uint32_t(g));
  }
  std::sort(waste.begin(), waste.end(),
            [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
  std::vector<std::uint32_t> groups;
  for (const auto& [bytes, g] : waste) groups.push_back(g);
  return groups;
}
