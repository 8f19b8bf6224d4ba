// The one way into a tree (item_builder.h): the name rule, each limit at
// its value and one past it, and what the builders do with what is refused.

#include <gtest/gtest.h>

#include "model/archive_listing.h"
#include "model/item_builder.h"
#include "model/list_import.h"
#include "model/member_records.h"
#include "model/set_file.h"
#include "platform/cp932_codec.h"
#include "tests/core/test_util.h"

namespace {

std::string Repeat(const std::string& part, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += part;
  return out;
}

std::string Escape(unsigned char byte) {
  std::string out;
  AppendUtf8(out, kByteEscapeBase + byte);
  return out;
}

EBuilt AddPath(CItemBuilder& builder, std::vector<std::string> names, bool folder = false, CFileInfo** made = nullptr) {
  CFindData record = folder ? FolderRecord("") : FileRecord("", 1);
  CFileInfo* item = nullptr;
  return builder.Add(names, names.size(), record, made != nullptr ? made : &item);
}

}  // namespace

TEST(ItemBuilder, OneRuleForNamesAndNotes) {
  for (std::string bad : {std::string(), std::string("."), std::string(".."), std::string("a/b"), std::string("a\\b"),
                          std::string("a\0b", 3), std::string("\xff")}) {
    EXPECT_EQ(ETextCheck::Refused, CheckItemName(bad)) << bad;
  }
  for (std::string good :
       {std::string("..."), std::string("名前.txt"), "x" + Escape(0xFF), Repeat("a", kMaxNameBytes)}) {
    const std::string before = good;
    EXPECT_EQ(ETextCheck::Fine, CheckItemName(good));
    EXPECT_EQ(before, good);
  }
  // Past the limit, a name is cut where a character ends.
  std::string over = Repeat("a", kMaxNameBytes + 1);
  EXPECT_EQ(ETextCheck::Cut, CheckItemName(over));
  EXPECT_EQ(kMaxNameBytes, over.size());
  std::string japanese = "b" + Repeat("あ", 30000);
  EXPECT_EQ(ETextCheck::Cut, CheckItemName(japanese));
  EXPECT_EQ(1 + 3 * 21844u, japanese.size());
  EXPECT_TRUE(IsValidUtf8(japanese));

  std::string note = Repeat("あ", kMaxNoteBytes / 3);
  EXPECT_EQ(ETextCheck::Fine, CheckItemNote(note));
  note += "い";
  EXPECT_EQ(ETextCheck::Cut, CheckItemNote(note));
  EXPECT_EQ(kMaxNoteBytes - 1, note.size());
  std::string nul("a\0b", 3);
  EXPECT_EQ(ETextCheck::Refused, CheckItemNote(nul));

  // A name from elsewhere that breaks the rule shows what it was.
  EXPECT_EQ(Escape('.') + Escape('.'), VisibleNameOf(".."));
  EXPECT_EQ("a" + Escape('/') + "b" + Escape(0xFF), VisibleNameOf("a/b\xff"));
}

TEST(ItemBuilder, DepthPathAndCountLimitsAtTheirValueAndOnePast) {
  auto catalog = MakeCatalog("C");
  CItemBuilder builder(*catalog, EBuild::Listing, kMaxDepth + 2);
  EXPECT_EQ(EBuilt::TooDeep, AddPath(builder, std::vector<std::string>(kMaxDepth + 1, "d")));
  EXPECT_EQ(0u, builder.Made());
  EXPECT_EQ(EBuilt::Made, AddPath(builder, std::vector<std::string>(kMaxDepth, "d")));
  // The folders a path implies are counted with it.
  EXPECT_EQ(std::uint64_t(kMaxDepth), builder.Made());
  EXPECT_EQ(EBuilt::TooMany, AddPath(builder, {"x", "y", "z"}));
  EXPECT_EQ(EBuilt::Made, AddPath(builder, {"x", "y"}));
  EXPECT_EQ(EBuilt::TooMany, AddPath(builder, {"z"}));

  const std::string longest(kMaxNameBytes, 'n');
  const std::size_t rest = kMaxPathBytes - kMaxNameBytes - 1;
  CItemBuilder paths(*catalog, EBuild::Unique);
  EXPECT_EQ(EBuilt::PathTooLong, AddPath(paths, {longest, std::string(rest + 1, 'r')}));
  EXPECT_EQ(EBuilt::Made, AddPath(paths, {longest, std::string(rest, 'r')}));
  EXPECT_TRUE(FitsTree(kMaxDepth, kMaxPathBytes) && !FitsTree(kMaxDepth + 1, 1) && !FitsTree(1, kMaxPathBytes + 1));
}

TEST(ItemBuilder, FoldersAreFoundByParentAndNameAndCutNamesNeverMerge) {
  auto catalog = MakeCatalog("C");
  CItemBuilder listing(*catalog, EBuild::Listing);
  CFileInfo* made = nullptr;
  EXPECT_EQ(EBuilt::Made, AddPath(listing, {"a", "b", "c.txt"}));
  EXPECT_EQ(EBuilt::Made, AddPath(listing, {"a", "b"}, true, &made));   // its own record comes after
  EXPECT_EQ(EBuilt::Made, AddPath(listing, {"a", "b", "c.txt"}));       // a listing may hold a file twice
  EXPECT_EQ(EBuilt::Made, AddPath(listing, {"a", "b", "c.txt", "d"}));  // a folder beside the file
  EXPECT_EQ(6u, listing.Made());
  EXPECT_EQ(made, FindByPath(catalog.get(), "a\\b"));
  EXPECT_EQ(3u, static_cast<CFolderFileInfo*>(made)->Children().size());

  auto list = MakeCatalog("L");
  CItemBuilder unique(*list, EBuild::Unique);
  EXPECT_EQ(EBuilt::Made, AddPath(unique, {"a", "f"}));
  EXPECT_EQ(EBuilt::Duplicate, AddPath(unique, {"a", "f"}));
  EXPECT_EQ(EBuilt::UnderAFile, AddPath(unique, {"a", "f", "g"}));
  EXPECT_EQ(EBuilt::Made, AddPath(unique, {"a"}, true));
  EXPECT_EQ(EBuilt::Duplicate, AddPath(unique, {"a"}, true));
  EXPECT_EQ(EBuilt::BadName, AddPath(unique, {"b", ".."}));
  EXPECT_EQ(nullptr, FindByPath(list.get(), "b"));  // a refused path leaves nothing behind

  // Two names cut to the same start stay apart: the second is refused.
  const std::string first = Repeat("x", kMaxNameBytes) + "1", second = Repeat("x", kMaxNameBytes) + "2";
  for (CItemBuilder* builder : {&listing, &unique}) {
    EXPECT_EQ(EBuilt::NameCut, AddPath(*builder, {first, "f"}));
    EXPECT_EQ(EBuilt::NameCut, AddPath(*builder, {first, "g"}));
    EXPECT_EQ(EBuilt::NameMerges, AddPath(*builder, {second, "h"}));
    EXPECT_EQ(EBuilt::NameMerges, AddPath(*builder, {Repeat("x", kMaxNameBytes)}, true));
  }
  EXPECT_EQ(2u,
            static_cast<const CFolderFileInfo*>(FindByPath(list.get(), Repeat("x", kMaxNameBytes)))->Children().size());
}

TEST(ItemBuilder, LongNamesWrittenReadBackWithTheOtherCatalogs) {
  CRootFileInfo set("s");
  auto other = MakeCatalog("A");
  const CFindData kept = FileRecord("kept.txt", 5);
  other->AddChild(&kept);
  set.AppendCatalog(std::move(other), 0);
  auto catalog = MakeCatalog("B");
  CItemBuilder builder(*catalog, EBuild::Listing);
  EXPECT_EQ(EBuilt::NameCut, AddPath(builder, {"b" + Repeat("あ", 30000)}));
  EXPECT_EQ(EBuilt::NameCut, AddPath(builder, {"a" + Repeat(Escape(0xFF), 30000)}));
  // An item made without a builder is cut where a character ends too.
  const CFindData direct = FileRecord(Repeat("い", 30000));
  catalog->AddChild(&direct);
  set.AppendCatalog(std::move(catalog), 0);

  std::unique_ptr<CRootFileInfo> back;
  ASSERT_EQ(ESetFileError::None, ReadSetFromBytes(WriteSetToBytes(set), back));
  EXPECT_NE(nullptr, FindByPath(static_cast<const CFileInfo*>(back.get()), "A\\kept.txt"));
  const auto& names = static_cast<const CFolderFileInfo*>(FindByPath(back.get(), "B"))->Children();
  ASSERT_EQ(3u, names.size());
  EXPECT_EQ("b" + Repeat("あ", 21844), names[0]->GetName());
  EXPECT_EQ("a" + Repeat(Escape(0xFF), 21844), names[1]->GetName());
  EXPECT_EQ(Repeat("い", 21845), names[2]->GetName());
}

TEST(ItemBuilder, ImportNamesRowsPastTheLimitsAndTheCuts) {
  CImportOptions options;
  const std::string atLimit = Repeat("d\\", kMaxDepth - 1) + "f";
  std::string text = "path,kind,note\n" + atLimit + ",file,\n";  // line 2
  text += "d\\" + atLimit + ",file,\n";                          // 3: one too deep
  text += Repeat("\n", 100000);                                  // blank lines cost nothing
  text += "b" + Repeat("あ", 30000) + ",file,\n";                // 100004: cut
  text += "n,file," + Repeat("x", kMaxNoteBytes + 1) + "\n";     // 100005: note cut
  text += "z," + Repeat(" ", kMaxImportLineBytes) + "\n";        // 100006: too long
  text += "a/b,file,\n";                                         // 100007: "/" in a name
  const CImportResult result = ImportItemList(text, options);
  ASSERT_EQ(3u, result.problems.size());
  EXPECT_EQ(3u, result.problems[0].nLine);
  EXPECT_EQ(EImportProblem::TooDeep, result.problems[0].eWhat);
  EXPECT_EQ(EImportProblem::LineTooLong, result.problems[1].eWhat);
  EXPECT_EQ(100006u, result.problems[1].nLine);
  EXPECT_EQ(EImportProblem::BadPath, result.problems[2].eWhat);
  ASSERT_EQ(2u, result.cuts.size());
  EXPECT_EQ(100004u, result.cuts[0].nLine);
  EXPECT_EQ(EImportProblem::NameCut, result.cuts[0].eWhat);
  EXPECT_EQ(EImportProblem::NoteCut, result.cuts[1].eWhat);
  EXPECT_NE(nullptr, FindByPath(static_cast<const CFileInfo*>(result.catalog.get()), atLimit));

  // tsv and the other line formats take a line as a row.
  options.eFormat = EListFormat::Jsonl;
  const CImportResult json = ImportItemList("{\"path\":\"" + Repeat("x", kMaxImportLineBytes) + "\"}\n", options);
  ASSERT_EQ(1u, json.problems.size());
  EXPECT_EQ(EImportProblem::LineTooLong, json.problems[0].eWhat);
}

TEST(ItemBuilder, MemberRecordsFromElsewhereAreHeldToTheRule) {
  // Members named as no listing names them, as a crafted set holds them.
  auto catalog = MakeCatalog("C");
  const CFindData zip = FileRecord("x.zip", 10);
  CFileInfo& archive = *catalog->AddChild(&zip);
  CFolderFileInfo& members = catalog->AttachMembers(archive, 0);
  for (const char* name : {"/etc/passwd", ".."}) {
    const CFindData member = FileRecord(name, 1);
    members.AddChild(&member);
  }
  CFolderFileInfo* deep = &members;
  for (int i = 0; i < kMaxDepth; ++i) {
    const CFindData folder = FolderRecord("d");
    deep = static_cast<CFolderFileInfo*>(deep->AddChild(&folder));
  }
  const std::string payload = EncodeMemberRecords(*catalog);
  archive.DropMembers();
  ASSERT_TRUE(CheckMemberRecords(payload, *catalog));
  ApplyMemberRecords(payload, *catalog);
  const auto& made = archive.Members()->Children();
  ASSERT_EQ(3u, made.size());
  EXPECT_EQ(Escape('/') + "etc" + Escape('/') + "passwd", made[0]->GetName());
  EXPECT_EQ(Escape('.') + Escape('.'), made[1]->GetName());
  int depth = 0;
  for (const CFileInfo* item = made[2].get(); item != nullptr; ++depth) {
    const auto& children = static_cast<const CFolderFileInfo*>(item)->Children();
    item = children.empty() ? nullptr : children.front().get();
  }
  EXPECT_EQ(kMaxDepth, depth);
}
