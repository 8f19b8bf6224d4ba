// Copies across catalogs and sets: by fingerprint, likely by name, size and
// time, loosely, and how media are counted.

#include <gtest/gtest.h>

#include "model/copy_groups.h"
#include "tests/core/test_util.h"

namespace {

constexpr std::uint64_t kSecond = 10000000;
const CFingerprint kOne{1, 1}, kTwo{2, 2}, kThree{3, 3}, kFour{4, 4};

// Adds a file (and its fingerprint, when given) to catalog.
void Put(CDriveFileInfo& catalog, const std::string& name, std::uint64_t size, std::uint64_t time,
         std::optional<CFingerprint> fingerprint = std::nullopt) {
  const CFindData record = FileRecord(name, size, time);
  catalog.AddChild(&record);
  if (fingerprint) catalog.m_fingerprints.Add({{std::uint32_t(catalog.Children().size()), *fingerprint}});
}

struct CCase {
  CRootFileInfo first{"one"}, second{"two"};
  CCase() {
    auto a = MakeCatalog("A");
    Put(*a, "hashed", 100, 5 * kSecond, kOne);
    Put(*a, "differs", 10, 5 * kSecond, kThree);  // same name, size and time as B's, other content
    Put(*a, "caf\xc3\xa9", 20, 7 * kSecond);      // NFC
    Put(*a, "twice", 30, 9 * kSecond);            // twice on this medium, nowhere else
    Put(*a, "twice-copy", 30, 9 * kSecond, kTwo);
    Put(*a, "twice-again", 30, 8 * kSecond, kTwo);
    Put(*a, "empty", 0, 0);
    auto b = MakeCatalog("B");
    Put(*b, "renamed", 100, 6 * kSecond, kOne);  // content alike, name and time not
    Put(*b, "differs", 10, 5 * kSecond, kFour);
    Put(*b, "cafe\xcc\x81", 20, 7 * kSecond + 1234);  // NFD, the same second
    Put(*b, "empty", 0, 0);
    auto c = MakeCatalog("C");
    Put(*c, "twice", 30, 1 * kSecond);    // another time: a copy only by name and size
    Put(*c, "hashed", 100, 5 * kSecond);  // no fingerprint: likely A's by name, size and time
    first.AppendCatalog(std::move(a), 0);
    first.AppendCatalog(std::move(b), 0);
    second.AppendCatalog(std::move(c), 0);
  }
};

std::vector<std::string> Listed(const CCopyIndex& index, const CFewCopies& few) {
  std::vector<std::string> out;
  const std::vector<std::string> paths = index.PathsOf(few.files);
  for (std::size_t i = 0; i < paths.size(); ++i)
    out.push_back(paths[i] + ":" + std::to_string(few.copies[i]) + (few.likely[i] ? "?" : ""));
  return out;
}

TEST(CopyGroups, ContentFirstThenLikelyByNameSizeAndTime) {
  CCase sets;
  CCopyIndex index;
  ASSERT_TRUE(index.Build({&sets.first, &sets.second}, CCopyOptions()));
  EXPECT_EQ(11u, index.FileCount());  // empty files are never counted

  // Everything of A held on fewer than 2 media: the file differing in
  // content, and the one copied only within A.
  CFewCopies few = FindFewCopies(index, {0}, 2);
  EXPECT_EQ((std::vector<std::string>{"A\\differs:1", "A\\twice:1", "A\\twice-copy:1", "A\\twice-again:1"}),
            Listed(index, few));
  ASSERT_EQ(1u, few.summaries.size());
  EXPECT_EQ(4u, few.summaries[0].nFiles);
  EXPECT_EQ(100u, few.summaries[0].nBytes);
  EXPECT_EQ(220u, few.summaries[0].nCatalogBytes);
  EXPECT_NEAR(100.0 / 220, few.summaries[0].Share(), 1e-9);

  // The largest waste first; the NFC and NFD names are a likely pair.
  const std::vector<std::uint32_t> groups = FindDuplicates(index);
  ASSERT_EQ(3u, groups.size());
  CCopyGroup group;
  index.GetGroup(groups[0], group);
  EXPECT_EQ(100u, group.nSize);
  EXPECT_TRUE(group.bLikely);  // C's copy has no fingerprint
  EXPECT_EQ(3u, group.nMedia);
  index.GetGroup(groups[1], group);
  EXPECT_EQ(30u, group.nSize);  // twice-copy and twice-again: one medium
  EXPECT_EQ(1u, group.nMedia);
  index.GetGroup(groups[2], group);
  EXPECT_EQ(20u, group.nSize);
  EXPECT_TRUE(group.bLikely);
}

TEST(CopyGroups, LooseMatchingIgnoresTimesOrNames) {
  CCase sets;
  CCopyIndex index;
  CCopyOptions options;
  options.eBy = ECopyMatch::NameSize;
  ASSERT_TRUE(index.Build({&sets.first, &sets.second}, options));
  // twice now has a copy in the other set; differs matches by name and size.
  EXPECT_EQ((std::vector<std::string>{"A\\twice-copy:1", "A\\twice-again:1"}),
            Listed(index, FindFewCopies(index, {0}, 2)));

  options.eBy = ECopyMatch::Size;
  options.nMinSize = 25;
  ASSERT_TRUE(index.Build({&sets.first, &sets.second}, options));
  EXPECT_EQ(7u, index.FileCount());
  EXPECT_TRUE(FindFewCopies(index, {}, 2).files.empty());  // 100 in A and B, 30 in A and C
}

// One medium counted as two would make its files look backed up: catalogs
// are one medium by the catalog's identity, the medium's, or, where neither
// tells, by label, cataloguing time and total size.
TEST(CopyGroups, OneMediumIsCountedOnce) {
  struct CDisk {
    std::string strLabel;
    std::int32_t nTime;
    std::string strCatalogId, strMediumId;
    bool bRecord = true;
  };
  const std::string id(16, 'a'), otherId(16, 'b');
  const char* uuid = "0b5e0a1e-7c39-4f4e-9b1a-3a5c8e1d2f40";
  const char* otherUuid = "5d2a7c1e-0b39-4f4e-9b1a-3a5c8e1d2f41";
  const struct {
    const char* what;
    CDisk first, second;
    std::uint32_t nMedia;
  } cases[] = {
      {"one catalog id: a set and its copy, updated since", {"A", 1, id, ""}, {"A2", 2, id, ""}, 1},
      {"one medium id, two catalogs", {"A", 1, id, uuid}, {"B", 2, otherId, uuid}, 1},
      {"re-saved without records", {"A", 1, id, uuid}, {"A", 1, "", "", false}, 1},
      {"older records without catalog ids", {"A", 1, "", ""}, {"A", 1, "", ""}, 1},
      {"catalog ids tell them apart", {"A", 1, id, ""}, {"A", 1, otherId, ""}, 2},
      {"medium ids tell them apart", {"A", 1, "", uuid}, {"A", 1, "", otherUuid}, 2},
      {"no records, catalogued at other times", {"A", 1, "", "", false}, {"A", 2, "", "", false}, 2},
  };
  for (const auto& c : cases) {
    CRootFileInfo one("one"), two("two");
    for (const auto& [set, disk] : {std::pair{&one, c.first}, std::pair{&two, c.second}}) {
      CDriveFileInfo* catalog = set->AppendCatalog(MakeCatalog(disk.strLabel), 0);
      catalog->m_timeCataloged = disk.nTime;
      catalog->m_nTotalBytes = 1000;
      Put(*catalog, "photo", 100, 5 * kSecond, kOne);
      Put(*catalog, "photo-copy", 100, 6 * kSecond, kOne);
      if (!disk.bRecord) continue;
      catalog->m_record.emplace();
      catalog->m_record->strCatalogId = disk.strCatalogId;
      catalog->m_record->medium.strId = disk.strMediumId;
    }
    CCopyIndex index;
    ASSERT_TRUE(index.Build({&one, &two}, CCopyOptions()));
    EXPECT_EQ(c.nMedia == 1 ? 4u : 0u, FindFewCopies(index, {}, 2).files.size()) << c.what;
    // The same file in both catalogs of one medium is one copy; the second
    // copy on that medium stays a duplicate.
    const std::vector<std::uint32_t> groups = FindDuplicates(index);
    ASSERT_EQ(1u, groups.size()) << c.what;
    CCopyGroup group;
    index.GetGroup(groups[0], group);
    EXPECT_EQ(c.nMedia, group.nMedia) << c.what;
    EXPECT_EQ(c.nMedia == 1 ? 2u : 4u, group.nCopies) << c.what;
  }
}

TEST(CopyGroups, LinksAreNoCopiesWhateverTheyRecord) {
  // B holds a link to A's file, as a deduplicating tool leaves it; even
  // with the target's name, size, time and content recorded it is no copy.
  CRootFileInfo set{"s"};
  auto a = MakeCatalog("A");
  Put(*a, "file", 100, 5 * kSecond, kOne);
  auto b = MakeCatalog("B");
  Put(*b, "file", 100, 5 * kSecond, kOne);
  b->Children().back()->SetEntryKind(CFileInfo::EEntryKind::Link);
  set.AppendCatalog(std::move(a), 0);
  set.AppendCatalog(std::move(b), 0);
  for (const ECopyMatch by : {ECopyMatch::Content, ECopyMatch::Size}) {
    CCopyIndex index;
    CCopyOptions options;
    options.eBy = by;
    ASSERT_TRUE(index.Build({&set}, options));
    EXPECT_EQ(1u, index.FileCount());
    EXPECT_EQ((std::vector<std::string>{"A\\file:1"}), Listed(index, FindFewCopies(index, {}, 2)));
    EXPECT_TRUE(FindDuplicates(index).empty());
  }
}

}  // namespace
