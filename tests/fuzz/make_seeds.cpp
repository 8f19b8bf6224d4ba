// Writes the fuzzer's seed corpus into a folder: small sets holding every
// string form, wide and long names, and one set that crosses the class-index
// boundary (0x7FFF). The seeds kept in the repository were made with it;
// records_v1.fcf, by the version that wrote the first layout of the block.

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "model/root_file_info.h"
#include "model/set_file.h"

namespace {

std::string g_strFolder;

CFileInfo* Add(CFolderFileInfo& folder, const std::string& name, bool isFolder, std::uint64_t size = 0) {
  CFindData record;
  record.cFileName = name;
  record.dwFileAttributes = isFolder ? 0x10 : 0x20;
  record.SetSize(size);
  record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime = 130000000000000000ULL + size;
  return folder.AddChild(&record);
}

std::unique_ptr<CDriveFileInfo> Catalog(const std::string& label) {
  return std::make_unique<CDriveFileInfo>(label, "/media/" + label, CMediumFacts{"host", "CD-ROM", 10, 700000000});
}

void Save(const std::string& name, const std::string& bytes) {
  std::ofstream(g_strFolder + "/" + name, std::ios::binary) << bytes;
}

// The first from in bytes replaced by to.
std::string Replace(std::string bytes, const std::string& from, const std::string& to) {
  const std::size_t at = bytes.find(from);
  return at == std::string::npos ? bytes : bytes.replace(at, from.size(), to);
}

// A text's CP932 form (1-byte prefix) replaced by the wide form other writers use.
std::string Widen(const std::string& bytes, const std::string& cp932, const std::string& utf16le) {
  return Replace(bytes, std::string(1, char(cp932.size())) + cp932,
                 "\xFF\xFE\xFF" + std::string(1, char(utf16le.size() / 2)) + utf16le);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds FOLDER\n");
    return 2;
  }
  g_strFolder = argv[1];
  Save("empty.fcf", WriteSetToBytes(CRootFileInfo("empty")));

  {  // folders, notes, Japanese and half-width names, a name only UTF-16 holds
    CRootFileInfo set("sample");
    set.SetNoteText("set note");
    auto disc = Catalog("Disc 1");
    Add(*disc, "readme.txt", false, 1234)->SetNoteText("日本");
    auto* docs = static_cast<CFolderFileInfo*>(Add(*disc, "文書", true));
    Add(*docs, "ﾊﾝｶｸ.txt", false, 5);
    Add(*docs, "café ☃.txt", false, 6);
    Add(*static_cast<CFolderFileInfo*>(Add(*docs, "deep", true)), "x", false, 1ULL << 33);
    set.AppendCatalog(std::move(disc), 1000000000);
    set.AppendCatalog(Catalog("Other"), 1000000001);
    const std::string bytes = WriteSetToBytes(set);
    Save("sample.fcf", bytes);
    // The same set as a writer that stores every text wide might have it.
    Save("wide_texts.fcf",
         Widen(Widen(bytes, "\x93\xFA\x96\x7B", "\xE5\x65\x2C\x67"), "\x95\xB6\x8F\x91", "\x87\x65\xF8\x66"));
  }
  {  // every length prefix: byte, word and dword, narrow and wide; the longer
     // forms also for short texts, which other writers may use
    CRootFileInfo set("strings");
    auto catalog = Catalog("S");
    Add(*catalog, "a", false)->SetNoteText(std::string(300, 'w'));
    Add(*catalog, "b", false)->SetNoteText("dword");
    Add(*catalog, "c", false)->SetNoteText("word");
    std::string wide;
    for (int i = 0; i < 300; ++i) wide += "é";
    Add(*catalog, "d", false)->SetNoteText(wide);
    set.AppendCatalog(std::move(catalog), 0);
    std::string bytes = WriteSetToBytes(set);
    bytes = Replace(bytes,
                    "\x05"
                    "dword",
                    std::string("\xFF\xFF\xFF\x05\0\0\0"
                                "dword",
                                12));
    bytes = Replace(bytes,
                    "\x04"
                    "word",
                    std::string("\xFF\x04\0"
                                "word",
                                7));
    bytes = Widen(bytes, "S", std::string("S\0", 2));
    Save("string_forms.fcf", bytes);
  }
  {  // names as long as their field allows: 259 bytes of CP932, 259 UTF-16 units, 13 for the short name
    CRootFileInfo set("long");
    auto catalog = Catalog("L");
    std::string kana, wide;
    for (int i = 0; i < 129; ++i) kana += "あ";
    for (int i = 0; i < 259; ++i) wide += "é";
    Add(*catalog, kana + "a", false);
    Add(*catalog, wide, true);
    CFindData record;
    record.cFileName = "long name.text";
    record.cAlternateFileName = "LONGNA~1.TEX";
    catalog->AddChild(&record);
    set.AppendCatalog(std::move(catalog), 0);
    Save("long_names.fcf", WriteSetToBytes(set));
  }
  {  // the program's own records after the set object: a catalog's record,
     // item flags, fingerprints, archive members, and records of a later version
    CRootFileInfo set("records");
    auto catalog = Catalog("R");
    auto* folder = static_cast<CFolderFileInfo*>(Add(*catalog, "d", true));
    Add(*folder, "sjis", false)->SetRealNameCp932(true);
    Add(*folder, "locked", true)->SetUnreadable(true);
    CCatalogRecord record;
    record.medium = {"2f1c-77aa", "vfat", "CAMERA", 8000000000, "/"};
    record.chosenPaths = {"d"};
    record.bCrossFileSystems = true;
    record.excludes = {"*.tmp"};
    record.bHashContents = true;
    catalog->m_record = record;
    catalog->m_fingerprints.Add({{2, {0x0123456789abcdefULL, 0xfedcba9876543210ULL}}});
    catalog->m_extraRecords.push_back({77, 1, "later"});
    // An archive listed two levels deep, with a note on a member.
    CFileInfo* archive = Add(*folder, "a.zip", false);
    CFolderFileInfo& members = folder->AttachMembers(*archive, 1);
    auto* inner = static_cast<CFolderFileInfo*>(Add(members, "sub", true));
    Add(*inner, "m.txt", false)->SetNoteText("note");
    CFileInfo* nested = Add(members, "b.7z", false);
    Add(folder->AttachMembers(*nested, 4), "x", false);
    set.AppendCatalog(std::move(catalog), 0);
    set.m_extraRecords.push_back({90, 0, "set"});
    const std::string bytes = WriteSetToBytes(set);
    Save("records.fcf", bytes);
    // The first record's length damaged: the reader picks up at the next
    // record whose header holds.
    std::string damaged = bytes;
    damaged[damaged.rfind("QRXB") + 48 + 8] ^= 0x40;
    Save("records_damaged.fcf", damaged);
  }
  {  // the folder class is the 0x8000th index: its tags take the long form
    CRootFileInfo set("boundary");
    auto catalog = Catalog("B");
    for (int i = 0; i < 0x7FFA; ++i) Add(*catalog, "", false);
    Add(*static_cast<CFolderFileInfo*>(Add(*catalog, "d", true)), "in", false);
    Add(*catalog, "e", true);
    set.AppendCatalog(std::move(catalog), 0);
    Save("class_index_boundary.fcf", WriteSetToBytes(set));
  }
  return 0;
}
