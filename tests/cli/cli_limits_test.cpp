// Lists and archives past the limits (model/limits.h) through the program:
// what it writes it reads back, and a deep path or blank lines cost memory
// in proportion to the input, never its square or a multiple of its lines.

#include <archive.h>
#include <archive_entry.h>
#include <sys/resource.h>

#include "model/limits.h"
#include "tests/cli/cli_fixture.h"

namespace {

// Writes a tar at path with a one-byte file for each name (bytes as they are).
void WriteTar(const std::string& path, const std::vector<std::string>& names) {
  archive* tar = archive_write_new();
  archive_write_set_format_gnutar(tar);  // long names in a header of their own, byte for byte
  ASSERT_EQ(ARCHIVE_OK, archive_write_open_filename(tar, path.c_str()));
  for (const std::string& name : names) {
    archive_entry* entry = archive_entry_new();
    archive_entry_copy_pathname(entry, name.c_str());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, 1);
    EXPECT_EQ(ARCHIVE_OK, archive_write_header(tar, entry));
    archive_write_data(tar, "x", 1);
    archive_entry_free(entry);
  }
  archive_write_close(tar);
  archive_write_free(tar);
}

std::string Repeat(const std::string& part, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += part;
  return out;
}

}  // namespace

class CliLimitsTest : public CliTest {
 protected:
  // Runs the tool as Run does; its peak memory in KiB goes to peakKiB.
  int RunMeasured(CArgs args, long& peakKiB) {
    const pid_t pid = Start(std::move(args));
    struct rusage usage {};
    int status = 0;
    peakKiB = 0;
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status)) return -1;
    peakKiB = usage.ru_maxrss;
    return WEXITSTATUS(status);
  }
};

TEST_F(CliLimitsTest, LongNamesAreCutWhereACharacterEndsAndTheSetReadsBackWhole) {
  // A listed name of 90,000 bytes: cut, said so, and the set opens.
  std::ofstream(File("long.csv")) << "path,kind\nb" << Repeat("あ", 30000) << ",file\nother,file\n";
  const CRun imported = Run({"import", m_strSet, "L", File("long.csv"), "--format", "csv"});
  EXPECT_EQ(0, imported.nStatus);
  EXPECT_TRUE(Has(imported.strErr, "2 行目: 名前が長すぎるため")) << imported.strErr;
  const CRun listed = Run({"ls", m_strSet, "L"});
  ASSERT_EQ(0, listed.nStatus) << listed.strErr;
  EXPECT_TRUE(Has(listed.strOut, "b" + Repeat("あ", 21844) + "\t") && Has(listed.strOut, "other\t"));
}

TEST_F(CliLimitsTest, ALongMemberNameCostsNoOtherRecord) {
  // A member named by 30,000 bytes that are no text (escaped, three times
  // as long) beside a hashed catalog: the records all read back, the
  // catalog's fingerprints among them.
  std::filesystem::create_directories(File("a"));
  std::filesystem::create_directories(File("b"));
  std::ofstream(File("a/f.txt")) << "hi\n";
  WriteTar(File("b/long.tar"), {"a" + std::string(30000, '\xff'), "ok.txt"});
  ASSERT_EQ(0, Run({"add", m_strSet, "A", File("a"), "--hash", "--quiet"}).nStatus);
  ASSERT_EQ(0, Run({"add", m_strSet, "B", File("b"), "--archives", "--quiet"}).nStatus);
  const CRun noted = Run({"note", m_strSet, "--text", "メモ", "A\\f.txt"});
  EXPECT_EQ(0, noted.nStatus) << noted.strErr;
  EXPECT_TRUE(Has(Run({"hashes", m_strSet, "A"}).strOut, "f.txt"));
  const CRun info = Run({"info", m_strSet, "B\\long.tar"});
  EXPECT_TRUE(Has(info.strOut, "中身 2 件 (長い名前を短縮)")) << info.strOut;
}

TEST_F(CliLimitsTest, DeepMemberPathsAndBlankLinesCostMemoryInProportion) {
  // One member of 32,000 parts, and one at the depth limit: the first is
  // left out and counted, the second kept with the folders it implies.
  std::filesystem::create_directories(File("deep"));
  WriteTar(File("deep/deep.tar"), {Repeat("a/", 31999) + "a.txt", Repeat("d/", kMaxDepth - 1) + "f"});
  long peak = 0;
  ASSERT_EQ(0, RunMeasured({"add", m_strSet, "D", File("deep"), "--archives", "--quiet"}, peak));
  // Peak memory measured by hand: see the closing note; a quadratic cost
  // takes gigabytes here.
  EXPECT_LT(peak, 400 * 1024);
  const CRun info = Run({"info", m_strSet, "D\\deep.tar"});
  EXPECT_TRUE(Has(info.strOut, "中身 " + FormatCount(kMaxDepth) + " 件 (扱えない名前や深さのものを除外)"))
      << info.strOut;

  // Eight million blank lines around one row.
  {
    std::ofstream list(File("blank.csv"));
    list << "path,kind\n" << std::string(8 << 20, '\n') << "x,file\n";
  }
  ASSERT_EQ(0, RunMeasured({"import", m_strSet, "L", File("blank.csv"), "--format", "csv"}, peak));
  EXPECT_LT(peak, 300 * 1024);
  EXPECT_TRUE(Has(Run({"ls", m_strSet, "L"}).strOut, "x\t"));
}
