// libFuzzer target for the one way into a tree (item_builder.h): the input
// drives builders through paths of random names of every length and byte,
// notes, archive members and fingerprints; whatever they let in must save,
// read back as the same tree with the same records, and save to the same
// bytes again.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "model/archive_listing.h"
#include "model/fingerprints.h"
#include "model/item_builder.h"
#include "model/root_file_info.h"
#include "model/set_file.h"
#include "platform/cp932_codec.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "tree property broken: %s\n", what);
  std::abort();
}

// A name of any length and bytes; now and then one past the longest an
// item holds, or bytes turned into text as a listing turns them.
std::string RandomName(FuzzedDataProvider& input) {
  std::string name = input.ConsumeRandomLengthString(64);
  switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0: name = NameTextOfBytes(name); break;
    case 1: name += std::string(kMaxNameBytes - 2 + input.ConsumeIntegralInRange(0, 4), 'x'); break;
    case 2: {
      const std::string part = input.ConsumeBytesAsString(4);
      for (std::size_t i = 0; !part.empty() && i < (kMaxNameBytes + 8) / part.size(); ++i) name += part;
      name = NameTextOfBytes(name);
      break;
    }
    default: break;
  }
  return name;
}

// Adds items below root from the input until it says stop.
void Build(FuzzedDataProvider& input, CFolderFileInfo& root, CFolderFileInfo& catalog, int nesting) {
  CItemBuilder builder(root, input.ConsumeBool() ? EBuild::Unique : EBuild::Listing,
                       1 + input.ConsumeIntegral<std::uint8_t>());
  std::vector<std::string> names;
  for (int items = input.ConsumeIntegralInRange(0, 24); items > 0 && input.remaining_bytes() > 0; --items) {
    names.resize(input.ConsumeIntegralInRange<std::size_t>(1, 4));
    for (std::string& name : names) name = RandomName(input);
    if (input.ConsumeBool()) names.assign(input.ConsumeIntegralInRange<std::size_t>(kMaxDepth - 1, kMaxDepth + 1), "d");
    const bool folder = input.ConsumeBool();
    CFindData record;
    record.dwFileAttributes = folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    record.SetSize(folder ? 0 : input.ConsumeIntegral<std::uint64_t>());
    record.ftLastWriteTime = input.ConsumeIntegral<std::uint32_t>();
    CFileInfo* made = nullptr;
    if (!IsBuilt(builder.Add(names, names.size(), record, &made))) continue;
    std::string note = input.ConsumeRandomLengthString(32);
    if (input.ConsumeBool()) note += std::string(kMaxNoteBytes, 'n');
    if (CheckItemNote(note) != ETextCheck::Refused) made->SetNoteText(note);
    // A file of the catalog (not of an archive) may be listed as one.
    if (!folder && nesting < 2 && &root == &catalog && input.ConsumeBool())
      Build(input, catalog.AttachMembers(*made, input.ConsumeIntegral<std::uint8_t>() & kArchiveStateMask), catalog,
            nesting + 1);
  }
}

// Each item with members as one line of its path and facts.
std::string Describe(const CRootFileInfo& set) {
  std::string text;
  WalkBelow(
      set, set.PathUnder({}),
      [&](const CFileInfo& item, const CWalkPath& parent) {
        text += parent.PathOf(item) + "|" + std::to_string(item.GetKind()) + "|" + std::to_string(item.GetSize()) +
                "|" + std::to_string(item.WriteFileTime()) + "|" + item.GetNote() + "|" +
                std::to_string(item.ArchiveState()) + "\n";
      },
      [](const CFolderFileInfo&) {}, EWalk::WithMembers);
  for (const auto& child : set.Children()) {
    if (!child->IsCatalog()) continue;
    static_cast<const CDriveFileInfo&>(*child).m_fingerprints.ForEach(
        [&](std::uint32_t offset, const CFingerprint& print) { text += std::to_string(offset) + print.Hex() + "\n"; });
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  CRootFileInfo set("set");
  for (int catalogs = input.ConsumeIntegralInRange(1, 3); catalogs > 0; --catalogs) {
    auto catalog = std::make_unique<CDriveFileInfo>("C" + std::to_string(catalogs), "/m", CMediumFacts());
    Build(input, *catalog, *catalog, 0);
    std::vector<std::pair<std::uint32_t, CFingerprint>> prints;
    ForItemsWithOffsets(*catalog, [&](const CFileInfo& item, std::uint32_t offset) {
      if (!item.IsContainer() && input.ConsumeBool()) prints.emplace_back(offset, CFingerprint{offset, ~offset});
    });
    catalog->m_fingerprints.Add(std::move(prints));
    set.AppendCatalog(std::move(catalog), 0);
  }
  const std::string bytes = WriteSetToBytes(set);
  std::unique_ptr<CRootFileInfo> back;
  if (ReadSetFromBytes(bytes, back) != ESetFileError::None) Fail("the set written does not read");
  // No block is written when there is nothing to record.
  if (back->m_extensionState != EExtensionState::Loaded && back->m_extensionState != EExtensionState::None)
    Fail("the records written do not read");
  if (Describe(*back) != Describe(set)) Fail("the tree read back is another");
  if (WriteSetToBytes(*back) != bytes) Fail("saving the set read back gives other bytes");
  return 0;
}
