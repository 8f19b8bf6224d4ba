// Opening a member safely: the copy's name, the private folder it goes to,
// the bound on what it may hold, links inside archives, cancelling, and the
// removal of copies a killed program left.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "model/copy_name.h"
#include "model/limits.h"
#include "model/member_copy.h"
#include "model/work_progress.h"
#include "platform/cp932_codec.h"
#include "platform/private_copy.h"
#include "platform/process_running.h"
#include "tests/core/test_util.h"

namespace fs = std::filesystem;

namespace {

std::string Repeat(const std::string& part, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += part;
  return text;
}

// The folders in area.
std::vector<std::string> FoldersIn(const std::string& area) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(area, error)) names.push_back(entry.path().filename().u8string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(CopyName, NamesThatArePathsDrivesStreamsOrDevicesElsewhereBecomePlainNames) {
  EXPECT_EQ("_home_user_important.txt", SafeCopyName("/home/user/important.txt"));
  EXPECT_EQ(".._.._x", SafeCopyName("../../x"));
  EXPECT_EQ(".._.._x", SafeCopyName("..\\..\\x"));
  EXPECT_EQ("D_大事な書類.txt", SafeCopyName("D:大事な書類.txt"));
  EXPECT_EQ("a.txt_stream", SafeCopyName("a.txt:stream"));
  EXPECT_EQ("a_b_c_d_e_f_", SafeCopyName("a*b?c\"d<e>f|"));
  for (const char* device :
       {"CON", "nul.txt", "Com1.tar.gz", "LPT9", "aux", "PRN.", "CON .txt", "COM\xC2\xB9", "conin$"}) {
    EXPECT_EQ('_', SafeCopyName(device)[0]) << device;
  }
  EXPECT_EQ("_nul.txt", SafeCopyName("nul.txt"));
  for (const char* plain : {"COM10", "CONSOLE.txt", "nul_", "LPT", "コン.txt"}) EXPECT_EQ(plain, SafeCopyName(plain));
  // Control characters, C1 ones too, and bytes that are no UTF-8.
  EXPECT_EQ("a_b__c_", SafeCopyName(std::string("a\tb\x7F\xC2\x85") + "c\xFF"));
  // Windows drops a trailing dot or space, which would make another name.
  EXPECT_EQ("name_", SafeCopyName("name."));
  EXPECT_EQ("name_", SafeCopyName("name "));
  EXPECT_EQ(".._", SafeCopyName("..."));
  for (const char* empty : {"", ".", ".."}) EXPECT_EQ("member", SafeCopyName(empty));
}

TEST(CopyName, LongNamesAreCutAtACharacterKeepingTheirExtension) {
  const std::string a = "あ", smile = "\xF0\x9F\x98\x80";  // 3 bytes, 1 unit; 4 bytes, 2 units
  EXPECT_EQ(Repeat(a, 83) + ".txt", SafeCopyName(Repeat(a, 100) + ".txt", ENameUnits::Bytes));
  EXPECT_EQ(Repeat(a, 100) + ".txt", SafeCopyName(Repeat(a, 100) + ".txt", ENameUnits::Utf16));
  EXPECT_EQ(Repeat(a, 251) + ".txt", SafeCopyName(Repeat(a, 300) + ".txt", ENameUnits::Utf16));
  EXPECT_EQ(Repeat(smile, 62) + ".txt", SafeCopyName(Repeat(smile, 130) + ".txt", ENameUnits::Bytes));
  EXPECT_EQ(Repeat(smile, 125) + ".txt", SafeCopyName(Repeat(smile, 130) + ".txt", ENameUnits::Utf16));
  EXPECT_EQ(std::string(255, 'a'), SafeCopyName(std::string(300, 'a'), ENameUnits::Bytes));
  // An "extension" longer than any type's is cut with the rest.
  EXPECT_EQ(std::string(255, 'a'), SafeCopyName(std::string(300, 'a') + "." + std::string(40, 'b')));
  // A cut that ends in a dot leaves none at the end.
  const std::string cut = SafeCopyName(std::string(254, 'a') + ". " + std::string(40, 'b'), ENameUnits::Bytes);
  EXPECT_EQ(std::string(254, 'a') + "_", cut);
  for (const std::string& name : {Repeat(a, 100) + ".txt", Repeat(smile, 130) + ".txt"})
    EXPECT_TRUE(IsValidUtf8(SafeCopyName(name)));
}

namespace {

std::string FixtureDir() {
  const char* dir = std::getenv("QUARRIX_ARCHIVE_FIXTURES");
  return dir != nullptr && fs::exists(std::string(dir) + "/.done") ? dir : std::string();
}

// Sets cancel once the archive has been read from: the user's キャンセル
// while the copy is being written.
class CCancellingReader : public CContentReader {
 public:
  explicit CCancellingReader(std::atomic<bool>& cancel) : m_cancel(cancel), m_pReal(MakeFileContentReader()) {}
  EContentOpen Open(const std::string& path) override { return m_pReal->Open(path); }
  std::ptrdiff_t Read(void* buffer, std::size_t size) override {
    const std::ptrdiff_t got = m_pReal->Read(buffer, size);
    m_cancel.store(true);
    return got;
  }
  std::int64_t Seek(std::int64_t offset, int whence) override { return m_pReal->Seek(offset, whence); }
  void Close() override { m_pReal->Close(); }

 private:
  std::atomic<bool>& m_cancel;
  std::unique_ptr<CContentReader> m_pReal;
};

class MemberCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_strDir = FixtureDir();
    if (m_strDir.empty()) GTEST_SKIP() << "no archive fixtures (tests/fixtures/make_archives.sh)";
    m_strArea = m_temp.File("area");
  }

  // Copies the member names (one archive's) of the fixture archive, listed
  // with listedSize; path gets the copy's path when kept.
  EExtract Copy(const std::string& archive, std::vector<std::string> names, std::uint64_t listedSize,
                std::string* path = nullptr, CWorkProgress* progress = nullptr, CContentReader* reader = nullptr) {
    CMemberPath where;
    where.levels = {std::move(names)};
    where.nListedSize = listedSize;
    const auto real = MakeFileContentReader();
    CMemberCopy copy;
    const EExtract result =
        copy.Extract(reader != nullptr ? *reader : *real, m_strDir + "/" + archive, where, m_strArea, progress);
    if (result == EExtract::Done && path != nullptr) *path = copy.Keep();
    return result;
  }

  CTempDir m_temp;
  std::string m_strDir, m_strArea;
};

}  // namespace

TEST_F(MemberCopyTest, AMemberIsCopiedIntoAPrivateFolderOfItsOwnUnderASafeName) {
  const std::vector<std::string> names{"D:大事な書類.txt", "CON", "nul.txt", "a.txt:stream",
                                       Repeat("あ", 100) + ".txt"};
  for (const std::string& name : names) {
    std::string path;
    ASSERT_EQ(EExtract::Done, Copy("names.zip", {name}, name.size() + 8, &path)) << name;
    const fs::path copy = fs::u8path(path);
    EXPECT_EQ(SafeCopyName(name), copy.filename().u8string());
    EXPECT_EQ(fs::u8path(m_strArea), copy.parent_path().parent_path());
    EXPECT_EQ("copy of " + name, ReadFileBytes(path));
#ifndef _WIN32
    struct stat status;
    ASSERT_EQ(0, ::stat(copy.parent_path().c_str(), &status));
    EXPECT_EQ(0700u, status.st_mode & 07777);
#endif
  }
  EXPECT_EQ(5u, FoldersIn(m_strArea).size());
  RemoveOwnCopies(m_strArea);
  EXPECT_TRUE(FoldersIn(m_strArea).empty());
}

TEST_F(MemberCopyTest, ANameInTheListingThatIsAPathOpensNothingOutsideTheFolder) {
  // A crafted set's member names: an absolute path, and one that climbs
  // from the copy's folder to a file beside the area.
  const std::string victim = m_temp.File("important.txt"), beside = m_temp.File("x");
  WriteFileBytes(victim, "important");
  WriteFileBytes(beside, "beside");
  EXPECT_EQ(EExtract::NotFound, Copy("plain.zip", {victim}, 9));
  EXPECT_EQ(EExtract::NotFound, Copy("plain.zip", {"../../x"}, 9));
  EXPECT_EQ(EExtract::NotFound, Copy("plain.zip", {"..", "..", "x"}, 9));
  EXPECT_EQ("important", ReadFileBytes(victim));
  EXPECT_EQ("beside", ReadFileBytes(beside));
  EXPECT_TRUE(FoldersIn(m_strArea).empty());
}

TEST_F(MemberCopyTest, AStreamThatExpandsPastItsListedSizeIsStoppedAsDamagedAndLeavesNothing) {
  // lying.zip's headers say 100 bytes; its member inflates to 8 MB.
  std::uint64_t handed = 0;
  const auto reader = MakeFileContentReader();
  EXPECT_EQ(EExtract::TooLarge,
            ExtractMember(*reader, m_strDir + "/lying.zip", {{"zeros.bin"}}, 100, [&](const char*, std::size_t size) {
              handed += size;
              return true;
            }));
  EXPECT_LE(handed, 100 + kMemberCopySlackBytes);
  EXPECT_EQ(EExtract::TooLarge, Copy("lying.zip", {"zeros.bin"}, 100));
  EXPECT_TRUE(FoldersIn(m_strArea).empty());
  // Listed at its true size it would come out whole (the archive's own
  // check of the size then fails it as damaged).
  EXPECT_EQ(EExtract::Unreadable, Copy("lying.zip", {"zeros.bin"}, 8 << 20));
}

TEST_F(MemberCopyTest, AHardLinkGivesItsTargetsDataAndASymbolicLinkIsNotFollowed) {
  std::string path;
  ASSERT_EQ(EExtract::Done, Copy("links.tar", {"hard.txt"}, 0, &path));
  EXPECT_EQ("linked data\n", ReadFileBytes(path));
  EXPECT_EQ("hard.txt", fs::u8path(path).filename().u8string());
  EXPECT_EQ(EExtract::NotAFile, Copy("links.tar", {"soft.txt"}, 0));
  EXPECT_EQ(EExtract::NotFound, Copy("links.tar", {"loop.txt"}, 0));
  EXPECT_EQ(1u, FoldersIn(m_strArea).size());
}

TEST_F(MemberCopyTest, ACopyHasNoDeadlineAndACancelledOneLeavesNothing) {
  CArchiveLimits noTime;
  noTime.nSeconds = 0;
  std::string bytes;
  const auto reader = MakeFileContentReader();
  EXPECT_EQ(EExtract::Done, ExtractMember(
                                *reader, m_strDir + "/plain.zip", {{"sub", "readme.txt"}}, 7,
                                [&](const char* data, std::size_t size) {
                                  bytes.append(data, size);
                                  return true;
                                },
                                nullptr, noTime));
  EXPECT_EQ("readme\n", bytes);

  // キャンセル while the bytes come: the copy stops at once, whatever the
  // stream still holds.
  std::atomic<bool> cancel{false};
  CWorkProgress progress;
  progress.pCancel = &cancel;
  std::uint64_t handed = 0;
  EXPECT_EQ(EExtract::Cancelled, ExtractMember(
                                     *reader, m_strDir + "/lying.zip", {{"zeros.bin"}}, 8 << 20,
                                     [&](const char*, std::size_t size) {
                                       handed += size;
                                       cancel.store(true);
                                       return true;
                                     },
                                     &progress));
  EXPECT_EQ(handed, progress.nDone.load());
  EXPECT_LT(handed, std::uint64_t(8 << 20));
  EXPECT_EQ(std::uint64_t(8 << 20), progress.nTotal.load());
  // And a copy cancelled part way leaves nothing.
  cancel.store(false);
  CCancellingReader cancelling(cancel);
  EXPECT_EQ(EExtract::Cancelled, Copy("lying.zip", {"zeros.bin"}, 8 << 20, nullptr, &progress, &cancelling));
  EXPECT_TRUE(FoldersIn(m_strArea).empty());
}

TEST(PrivateCopy, CopiesOfEndedProgramsGoAtStartAndNothingElseIsTouched) {
  CTempDir temp;
  const std::string area = temp.File("area");
  fs::create_directories(area);
  WriteFileBytes(temp.File("outside.txt"), "outside");
  const auto folder = [&](const std::string& name) {
    fs::create_directories(area + "/" + name);
    WriteFileBytes(area + "/" + name + "/copy.txt", "copy");
    return area + "/" + name;
  };
  const std::string dead = folder(CopyFolderName(2147483000, 1));
  folder(CopyFolderName(CurrentProcessId(), 77));  // a program before us with our id
  folder("notes");
#ifndef _WIN32
  folder(CopyFolderName(::getppid(), 1));
  // Links in a stale folder are removed, never followed.
  fs::create_symlink(temp.File("outside.txt"), dead + "/link.txt");
  fs::create_directory_symlink(temp.Path(), dead + "/folder");
#endif
  RemoveStaleCopies(area);
  std::vector<std::string> left{"notes"};
#ifndef _WIN32
  left.push_back(CopyFolderName(::getppid(), 1));
  EXPECT_EQ("outside", ReadFileBytes(temp.File("outside.txt")));
#endif
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, FoldersIn(area));
  EXPECT_EQ(0, CopyFolderOwner("notes"));
  EXPECT_EQ(0, CopyFolderOwner("-1"));
  EXPECT_EQ(12, CopyFolderOwner("12-3"));
}

#ifndef _WIN32
TEST(PrivateCopy, AnAreaThatIsALinkOrAnotherUsersIsRefusedAndALooseOneMadePrivate) {
  CTempDir temp;
  fs::create_directories(temp.File("target"));
  fs::create_directory_symlink(temp.File("target"), temp.File("link"));
  CPrivateCopy linked;
  EXPECT_NE(0, linked.Create(temp.File("link"), "a.txt"));
  EXPECT_TRUE(FoldersIn(temp.File("target")).empty());

  fs::create_directories(temp.File("loose"));
  ::chmod(temp.File("loose").c_str(), 0777);
  CPrivateCopy loose;
  EXPECT_EQ(0, loose.Create(temp.File("loose"), "a.txt"));
  struct stat status;
  ASSERT_EQ(0, ::stat(temp.File("loose").c_str(), &status));
  EXPECT_EQ(0700u, status.st_mode & 07777);
  EXPECT_NE(0, loose.Create(temp.File("loose"), "b.txt"));  // one file a copy
  EXPECT_NE(0, CPrivateCopy().Create(temp.File("loose"), "a/b"));

  if (::geteuid() != 0 && fs::exists("/")) {
    CPrivateCopy others;
    EXPECT_NE(0, others.Create("/", "a.txt"));  // root's
  }
}
#endif
