// Plain file lists: each format read back gives the items it was written
// from, and bad rows are named by their lines.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/list_export.h"
#include "model/list_import.h"
#include "platform/cp932_codec.h"
#include "tests/core/test_util.h"

namespace {

// Every item below catalog as one line of its facts, in walk order, with its
// path below the catalog; notes and fingerprints only when withNotes.
std::vector<std::string> Facts(const CDriveFileInfo& catalog, bool withNotes) {
  std::vector<std::string> lines;
  const std::string top = catalog.PathUnder({});
  WalkBelow(catalog, top, [&](const CFileInfo& item, const CWalkPath& parent) {
    lines.push_back(
        parent.PathOf(item).substr(top.size()) + "|" + std::to_string(item.GetKind()) + "|" +
        std::to_string(item.GetSize()) + "|" + std::to_string(item.WriteFileTime()) + "|" +
        std::to_string(item.CreationFileTime()) + "|" + std::to_string(item.RecordAttributes()) + "|" +
        (withNotes ? item.GetNote() + "|" + FingerprintOf(catalog, item).value_or(CFingerprint()).Hex() : ""));
  });
  return lines;
}

CFileInfo* AddItem(CFolderFileInfo& folder, const std::string& name, std::uint32_t attributes, std::uint64_t size,
                   std::uint64_t written, std::uint64_t created, const std::string& note = {}) {
  CFindData record;
  record.cFileName = name;
  record.dwFileAttributes = attributes;
  record.SetSize(size);
  record.ftLastWriteTime = written;
  record.ftCreationTime = created;
  CFileInfo* item = folder.AddChild(&record);
  item->SetNoteText(note);
  return item;
}

std::string Exported(const CRootFileInfo& set, CListStyle style, const std::vector<std::string>* catalogs) {
  CTempDir dir;
  const std::string path = dir.File("list");
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  EXPECT_TRUE(WriteItemList(fd, set, catalogs, style));
  close(fd);
  return ReadFileBytes(path);
}

CImportResult Imported(std::string_view text, EListFormat format, const std::string& base = {}) {
  CImportOptions options;
  options.eFormat = format;
  options.strLabel = "New";
  options.strBase = base;
  return ImportItemList(text, options);
}

}  // namespace

TEST(ListExportImport, EachFormatGivesBackTheItemsSizesTimesAndNotes) {
  CRootFileInfo set("set");
  set.AppendCatalog(MakeCatalog("Other"), 0);  // not exported: only Disk is chosen
  CDriveFileInfo* disk = set.AppendCatalog(MakeCatalog("Disk"), 0);
  auto* folder = static_cast<CFolderFileInfo*>(
      AddItem(*disk, "書類, \"引用\"", 0x10, 0, 134411529557867626, 134000000000000001, "メモ\tタブ\n改行, \"q\""));
  AddItem(*folder, "a\tb\nc\r.txt", 0x21, 5ULL << 32, 116444736000000001, 3000000000000000000, "\\ と ,");
  AddItem(*folder, EscapeBytes("caf\xe9\\x", true), 0x20, 7, 30000000000000000, 1, "");
  AddItem(*disk, "empty", 0x10, 0, 0, 0);
  AddItem(*disk, "日本語.txt", 0x20, 1, 2650467743999999999, 125911584000000000, "注記");
  disk->m_fingerprints.Add({{2, CFingerprint{1, 0xFEDCBA9876543210}}, {5, CFingerprint{2, 3}}});
  const std::vector<std::string> chosen = {"Disk"};
  for (const EListFormat format : {EListFormat::Csv, EListFormat::Tsv, EListFormat::Efu, EListFormat::Jsonl}) {
    SCOPED_TRACE(int(format));
    const std::string text = Exported(set, format, &chosen);
    const CImportResult back = Imported(text, format);
    EXPECT_TRUE(back.problems.empty()) << back.problems.front().nLine;
    EXPECT_EQ(back.nRows, 5u);
    ASSERT_TRUE(back.catalog);
    EXPECT_EQ(back.catalog->m_strMediaType, kMediaImported);
    // Everything's list has no column for notes or fingerprints.
    EXPECT_EQ(Facts(*back.catalog, format != EListFormat::Efu), Facts(*disk, format != EListFormat::Efu));
  }
  EXPECT_EQ(Exported(set, EListFormat::Csv, &chosen).substr(0, 12),
            "\xEF\xBB\xBF"
            "catalog,p");
}

// Text fields a spreadsheet would run get "'" before them, whatever the
// quoting; the other fields, and the forms spreadsheets do not open, do not.
TEST(ListExportImport, SpreadsheetSafeFormGuardsTheTextFieldsThatWouldRun) {
  CRootFileInfo set("set");
  CDriveFileInfo* disk = set.AppendCatalog(MakeCatalog("@Disk"), 0);
  AddItem(*disk, "=1+1", 0x20, 1, 0, 0, "-2, \"x\"");
  AddItem(*disk, "a=b", 0x20, 2, 0, 0, "+\t");
  const auto rows = [&](CListStyle style) {
    const std::string text = Exported(set, style, nullptr);
    return text.substr(text.find('\n') + 1);
  };
  EXPECT_EQ(rows({EListFormat::Csv, true}),
            "'@Disk,'@Disk\\=1+1,'=1+1,file,1,,,32,\"'-2, \"\"x\"\"\",\r\n"
            "'@Disk,'@Disk\\a=b,a=b,file,2,,,32,'+\t,\r\n");
  EXPECT_EQ(rows({EListFormat::Tsv, true}),
            "'@Disk\t'@Disk\\\\=1+1\t'=1+1\tfile\t1\t\t\t32\t'-2, \"x\"\t\n"
            "'@Disk\t'@Disk\\\\a=b\ta=b\tfile\t2\t\t\t32\t'+\\t\t\n");
  EXPECT_EQ(rows(EListFormat::Csv).substr(0, 22), "@Disk,@Disk\\=1+1,=1+1,");
  for (const EListFormat format : {EListFormat::Efu, EListFormat::Jsonl}) EXPECT_EQ(rows({format, true}), rows(format));
}

TEST(ListExportImport, BadRowsAreNamedByTheLineTheyStartOn) {
  const std::string csv =
      "path,size,modified,note,kind\r\n"
      "ok.txt,1,2000-01-10T20:00:00.5+09:00,\"two\nlines\",file\n"  // lines 2-3
      "bad\"quote,1,,,\n"                                           // 4
      "size.txt,12x,,,\n"                                           // 5
      "time.txt,1,2023-02-29T00:00:00Z,,\n"                         // 6
      "a\\\\b,1,,,\n"                                               // 7
      "ok.txt,2,,,\n"                                               // 8
      "ok.txt\\below,2,,,\n"                                        // 9
      "old.txt,1,1600-12-31T23:59:59Z,,\n"                          // 10
      "nul.txt,1,,a?b,\n"                                           // 11, "?" made a NUL below
      "\"open,1,,,\n";                                              // 12
  std::string withNul = csv;
  withNul[withNul.find("a?b") + 1] = '\0';
  const CImportResult result = Imported(withNul, EListFormat::Csv);
  std::vector<std::pair<std::uint64_t, EImportProblem>> problems;
  for (const CImportProblem& problem : result.problems) problems.emplace_back(problem.nLine, problem.eWhat);
  const std::vector<std::pair<std::uint64_t, EImportProblem>> expected = {
      {4, EImportProblem::BadQuoting}, {5, EImportProblem::BadNumber},     {6, EImportProblem::BadTime},
      {7, EImportProblem::BadPath},    {8, EImportProblem::Duplicate},     {9, EImportProblem::UnderAFile},
      {10, EImportProblem::BadTime},   {11, EImportProblem::NulCharacter}, {12, EImportProblem::BadQuoting}};
  EXPECT_EQ(problems, expected);
  ASSERT_EQ(result.catalog->Children().size(), 1u);
  const CFileInfo& ok = *result.catalog->Children()[0];
  EXPECT_EQ(ok.GetNote(), "two\nlines");
  std::uint64_t utc = 0;
  ASSERT_TRUE(ParseExactTime("2000-01-10T11:00:00.5000000+00:00", utc));
  EXPECT_EQ(ok.WriteFileTime(), utc);

  const CImportResult find =
      Imported("f\t1\t1.5\tfile\n\tno fields\nd\t4096\t0.0000001\tdir\nx\t1\t1\tother\n", EListFormat::Find);
  ASSERT_EQ(find.problems.size(), 2u);
  EXPECT_EQ(find.problems[0].nLine, 2u);
  EXPECT_EQ(find.problems[0].eWhat, EImportProblem::FieldCount);
  EXPECT_EQ(find.problems[1].eWhat, EImportProblem::BadKind);

  // Everything's own lists hold full paths: --base takes them below it.
  const CImportResult efu =
      Imported("Filename,Size\r\n\"C:\\data\\x\\y.txt\",3\r\n\"C:\\data\\z\",\r\n", EListFormat::Efu, "C:\\data");
  EXPECT_TRUE(efu.problems.empty());
  EXPECT_TRUE(FindByPath(static_cast<const CFileInfo*>(efu.catalog.get()), "x\\y.txt"));
}
