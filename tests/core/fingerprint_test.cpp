// Content fingerprints: the values xxhsum gives, files that fail part-way,
// cancel inside a file that never ends, update reading only what changed,
// and verify telling silent damage from change.

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "model/catalog_verify.h"
#include "model/content_hashing.h"
#include "platform/thread_start.h"
#include "tests/core/test_util.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win/win_text.h"
#endif

namespace {

// Serves the real files, except that reads of a file whose path ends in
// failing break after the first; and counts the files opened.
class CFaultyReader : public CContentReader {
 public:
  CFaultyReader(std::string failing, std::atomic<int>& opened)
      : m_strFailing(std::move(failing)), m_nOpened(opened), m_pReal(MakeFileContentReader()) {}
  EContentOpen Open(const std::string& path) override {
    ++m_nOpened;
    m_bFail = !m_strFailing.empty() && path.size() >= m_strFailing.size() &&
              path.compare(path.size() - m_strFailing.size(), m_strFailing.size(), m_strFailing) == 0;
    m_nReads = 0;
    return m_pReal->Open(path);
  }
  std::ptrdiff_t Read(void* buffer, std::size_t size) override {
    if (m_bFail && m_nReads++ > 0) return -1;
    return m_pReal->Read(buffer, size);
  }
  void Close() override { m_pReal->Close(); }

 private:
  std::string m_strFailing;
  std::atomic<int>& m_nOpened;
  std::unique_ptr<CContentReader> m_pReal;
  bool m_bFail = false;
  int m_nReads = 0;
};

// A file that never ends; asks for cancel after a while.
class CEndlessReader : public CContentReader {
 public:
  explicit CEndlessReader(std::atomic<bool>& cancel) : m_cancel(cancel) {}
  EContentOpen Open(const std::string&) override { return EContentOpen::Opened; }
  std::ptrdiff_t Read(void*, std::size_t size) override {
    if (++m_nReads == 100) m_cancel = true;
    return std::ptrdiff_t(size);
  }
  void Close() override {}
  int m_nReads = 0;

 private:
  std::atomic<bool>& m_cancel;
};

// Writes bytes over the file at path and puts its modification time back,
// to the system's own precision.
void RewriteKeepingTime(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
  // MinGW's std::filesystem would set whole seconds only.
  const auto open = [&](DWORD access) {
    return CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr);
  };
  FILETIME written{};
  HANDLE file = open(GENERIC_READ);
  GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  WriteFileBytes(path, bytes);
  file = open(FILE_WRITE_ATTRIBUTES);
  SetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
#else
  struct stat facts {};
  stat(path.c_str(), &facts);
  WriteFileBytes(path, bytes);
  const struct timespec times[2] = {facts.st_atim, facts.st_mtim};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
#endif
}

struct CTree {
  CTempDir dir;
  CTree() {
    std::filesystem::create_directories(dir.File("m/sub"));
    WriteFileBytes(dir.File("m/a.txt"), "hello");
    std::string big(600 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 + i / 4096);
    WriteFileBytes(dir.File("m/sub/big.bin"), big);
    WriteFileBytes(dir.File("m/sub/c.txt"), "c");
#ifndef _WIN32
    mkfifo(dir.File("m/fifo").c_str(), 0644);  // never opened: it would block
#endif
  }
  std::string Root() const { return dir.File("m"); }
};

std::unique_ptr<CDriveFileInfo> HashedCatalog(const CTree& tree) {
  CScanOptions options;
  options.bHashContents = true;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  EXPECT_EQ(EScanStatus::Done, MakeCatalog("M", {tree.Root()}, options, catalog, message));
  return catalog;
}

std::optional<CFingerprint> FingerprintAt(const CDriveFileInfo& catalog, const std::string& path) {
  const CFileInfo* item = FindByPath(static_cast<const CFileInfo*>(&catalog), path);
  return item == nullptr ? std::nullopt : FingerprintOf(catalog, *item);
}

TEST(Fingerprints, KnownValuesAndFilesNotReadWhole) {
  CTree tree;
  const auto catalog = HashedCatalog(tree);
  ASSERT_TRUE(catalog->m_record && catalog->m_record->bHashContents);
  // What `xxhsum -H2` prints for a file holding "hello".
  EXPECT_EQ("b5e9c1ad071b3e7fc779cfaa5e523818", FingerprintAt(*catalog, "a.txt")->Hex());
  EXPECT_TRUE(FingerprintAt(*catalog, "sub\\big.bin"));
  EXPECT_FALSE(FingerprintAt(*catalog, "fifo"));
  EXPECT_EQ(3u, catalog->m_fingerprints.Size());

  // A read that fails part-way: no fingerprint, the path told, the rest done.
  std::atomic<int> opened{0};
  CDriveFileInfo& fresh = *catalog;
  fresh.m_fingerprints.Clear();
  CHashOutcome outcome;
  CScanOptions options;
  HashMissingFingerprints(fresh, options, outcome, [&] { return std::make_unique<CFaultyReader>("big.bin", opened); });
  EXPECT_EQ(std::vector<std::string>{"M\\sub\\big.bin"}, outcome.unreadable);
  EXPECT_FALSE(FingerprintAt(fresh, "sub\\big.bin"));
  EXPECT_EQ(2u, fresh.m_fingerprints.Size());
}

TEST(Fingerprints, ThreadsThatCannotStartLeaveTheirFilesToTheOthers) {
  CTree tree;
  auto catalog = HashedCatalog(tree);
  const CFingerprintTable all = catalog->m_fingerprints;
  for (const int starts : {1, 0}) {
    catalog->m_fingerprints.Clear();
    CScanOptions options;
    options.nHashThreads = 4;
    CHashOutcome outcome;
    AllowThreadStartsForTest(starts);
    HashMissingFingerprints(*catalog, options, outcome);
    AllowThreadStartsForTest(-1);
    EXPECT_FALSE(outcome.bCancelled);
    EXPECT_TRUE(outcome.unreadable.empty());
    EXPECT_TRUE(catalog->m_fingerprints == all) << starts << " threads started";
  }
}

TEST(Fingerprints, CancelStopsInsideAFileAndChangesNothing) {
  std::atomic<bool> cancel{false};
  CScanOptions options;
  options.pCancel = &cancel;
  CEndlessReader reader(cancel);
  std::vector<char> buffer;
  CFingerprint fingerprint;
  EXPECT_EQ(EHashFile::Cancelled, HashFileContents(reader, "/endless", buffer, options, fingerprint));
  EXPECT_EQ(100, reader.m_nReads);

  CTree tree;
  auto catalog = HashedCatalog(tree);
  const CFingerprintTable before = catalog->m_fingerprints;
  catalog->m_fingerprints.RemoveRange(1, 1);
  const CFingerprintTable partial = catalog->m_fingerprints;
  cancel = false;
  CHashOutcome outcome;
  HashMissingFingerprints(*catalog, options, outcome, [&] { return std::make_unique<CEndlessReader>(cancel); });
  EXPECT_TRUE(outcome.bCancelled);
  EXPECT_TRUE(catalog->m_fingerprints == partial);
  EXPECT_FALSE(catalog->m_fingerprints == before);
}

TEST(Fingerprints, UpdateReadsOnlyChangedFilesAndVerifyTellsDamageFromChange) {
  CTree tree;
  const auto catalog = HashedCatalog(tree);
  WriteFileBytes(tree.dir.File("m/sub/c.txt"), "cc");
  // Same size and time, other bytes: damage that size and time cannot show.
  RewriteKeepingTime(tree.dir.File("m/a.txt"), "jello");
  WriteFileBytes(tree.dir.File("m/new.txt"), "n");

  CScanProgress progress;
  CScanOptions options = RecordedScanOptions(*catalog);
  options.pProgress = &progress;
  std::unique_ptr<CDriveFileInfo> fresh;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, ScanForUpdate(*catalog, tree.Root(), options, fresh, message));
  EXPECT_EQ(3u, progress.HashCounts().nBytesTotal);  // c.txt and new.txt only
  EXPECT_EQ(4u, fresh->m_fingerprints.Size());
  EXPECT_EQ(*FingerprintAt(*catalog, "a.txt"), *FingerprintAt(*fresh, "a.txt"));

  CVerifyResult result;
  std::atomic<int> opened{0};
  ASSERT_EQ(EScanStatus::Done, VerifyCatalog(*catalog, tree.Root(), CScanOptions(), result, message,
                                             [&] { return std::make_unique<CFaultyReader>("big.bin", opened); }));
  EXPECT_EQ(2, opened.load());  // a.txt and big.bin: c.txt changed, new.txt is new
  const std::vector<std::pair<EVerifyKind, std::string>> expected = {{EVerifyKind::New, "M\\new.txt"},
                                                                     {EVerifyKind::Changed, "M\\sub\\c.txt"},
                                                                     {EVerifyKind::Corrupt, "M\\a.txt"},
                                                                     {EVerifyKind::Unreadable, "M\\sub\\big.bin"}};
  std::vector<std::pair<EVerifyKind, std::string>> found;
  for (const CVerifyFinding& finding : result.findings) found.emplace_back(finding.eKind, finding.strPath);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(expected, found);
  EXPECT_TRUE(result.Damaged());
}

#ifndef _WIN32
// Serves the real files, but finds the one whose path ends in replaced no
// regular file: replaced after the walk, before its reading.
class CReplacedReader : public CFaultyReader {
 public:
  CReplacedReader(std::string replaced, std::atomic<int>& opened)
      : CFaultyReader({}, opened), m_strReplaced(std::move(replaced)) {}
  EContentOpen Open(const std::string& path) override {
    const bool replaced = path.size() >= m_strReplaced.size() &&
                          path.compare(path.size() - m_strReplaced.size(), m_strReplaced.size(), m_strReplaced) == 0;
    return replaced ? EContentOpen::NotRegular : CFaultyReader::Open(path);
  }

 private:
  std::string m_strReplaced;
};

TEST(Fingerprints, LinksAreNeverReadThroughAndVerifyTellsAFileThatIsOneNoMore) {
  CTree tree;
  ASSERT_EQ(0, symlink("a.txt", tree.dir.File("m/link").c_str()));
  const auto catalog = HashedCatalog(tree);
  EXPECT_TRUE(FindByPath(static_cast<const CFileInfo*>(catalog.get()), "link")->IsLink());
  EXPECT_FALSE(FingerprintAt(*catalog, "link"));
  EXPECT_TRUE(FingerprintAt(*catalog, "a.txt"));
  const auto reader = MakeFileContentReader();
  EXPECT_EQ(EContentOpen::NotRegular, reader->Open(tree.dir.File("m/link")));

  // a.txt becomes a link to its own content, moved away: changed, and
  // not read through the link.
  const std::string target = tree.dir.File("elsewhere.txt");
  ASSERT_EQ(0, std::rename(tree.dir.File("m/a.txt").c_str(), target.c_str()));
  ASSERT_EQ(0, symlink(target.c_str(), tree.dir.File("m/a.txt").c_str()));
  CVerifyResult result;
  std::string message;
  std::atomic<int> opened{0};
  ASSERT_EQ(EScanStatus::Done, VerifyCatalog(*catalog, tree.Root(), CScanOptions(), result, message,
                                             [&] { return std::make_unique<CReplacedReader>("c.txt", opened); }));
  std::vector<std::pair<EVerifyKind, std::string>> found;
  for (const CVerifyFinding& finding : result.findings) found.emplace_back(finding.eKind, finding.strPath);
  std::sort(found.begin(), found.end());
  EXPECT_EQ((std::vector<std::pair<EVerifyKind, std::string>>{{EVerifyKind::Changed, "M\\a.txt"},
                                                              {EVerifyKind::Changed, "M\\sub\\c.txt"}}),
            found);
  EXPECT_EQ(1, opened.load());  // big.bin alone: c.txt was no file when opened
}
#endif

}  // namespace
