// The Windows side of scanning: find data straight from the system, drive
// roots and backslashes in the path rules, and the drive's media type.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "model/root_file_info.h"
#include "model/scan.h"
#include "model/scan_progress.h"
#include "model/set_file.h"
#include "platform/media_type.h"
#include "platform/path_separator.h"
#include "platform/win/win_text.h"
#include "tests/core/test_util.h"

#include <windows.h>

namespace {

class CRecordingSink : public CMessageSink {
 public:
  void ShowMessage(const std::string& text) override { m_vecMessages.push_back(text); }
  std::vector<std::string> m_vecMessages;
};

void MakeFile(const std::string& path, std::size_t size) {
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

TEST(WindowsScan, RecordsComeFromTheSystemAndSurviveSaving) {
  CTempDir dir;
  const std::string tree = dir.Path() + "\\tree";
  ASSERT_TRUE(CreateDirectoryW(WidePath(tree).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(WidePath(tree + "\\文書").c_str(), nullptr));
  MakeFile(tree + "\\文書\\日本語の名前.txt", 10);
  MakeFile(tree + "\\hidden.txt", 3);
  ASSERT_TRUE(SetFileAttributesW(WidePath(tree + "\\hidden.txt").c_str(),
                                 FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));

  CRootFileInfo set("s");
  const CDriveFileInfo* catalog = set.AddCatalog("disk", tree + "\\");
  ASSERT_NE(nullptr, catalog);
  EXPECT_EQ(MakeAbsolutePath(tree), catalog->m_strCatalogedPath);
  const CFileInfo* named = FindByPath(catalog, "文書\\日本語の名前.txt");
  ASSERT_NE(nullptr, named);
  EXPECT_EQ(10u, named->GetSize());
  const CFileInfo* hidden = FindByPath(catalog, "hidden.txt");
  ASSERT_NE(nullptr, hidden);
  EXPECT_EQ(std::uint32_t(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
            hidden->GetAttributes());
  ASSERT_TRUE(SetFileAttributesW(WidePath(tree + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_NORMAL));

  // Saved over an existing file, read back, written again: the same bytes.
  const std::string path = dir.Path() + "\\set.fcf";
  WriteFileBytes(path, "old");
  ASSERT_EQ(ESetFileError::None, WriteSetFile(path, set));
  std::unique_ptr<CRootFileInfo> loaded;
  ASSERT_EQ(ESetFileError::None, ReadSetFile(path, loaded));
  const std::string copy = dir.Path() + "\\copy.fcf";
  ASSERT_EQ(ESetFileError::None, WriteSetFile(copy, *loaded));
  EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(copy));
  EXPECT_NE(nullptr, FindByPath(loaded.get(), "disk\\文書\\日本語の名前.txt"));
}

// Folders of a share made on another system may end in a dot or a space,
// which the system's path rules trim: each must be read as itself.
TEST(WindowsScan, FolderNamesEndingInADotOrASpaceAreReadAsThemselves) {
  CTempDir dir;
  const std::string tree = MakeAbsolutePath(dir.Path() + "\\share");
  const auto literal = [&](const std::string& below) { return L"\\\\?\\" + WidePath(tree + below); };
  // The runtime's calls that empty the temporary folder would trim the names.
  const std::shared_ptr<void> removal(nullptr, [&](void*) {
    for (const char* name : {"\\apache.\\in-dot.txt", "\\space \\in-space.txt"}) DeleteFileW(literal(name).c_str());
    for (const char* name : {"\\apache.", "\\space "}) RemoveDirectoryW(literal(name).c_str());
  });
  ASSERT_TRUE(CreateDirectoryW(literal("").c_str(), nullptr));
  for (const char* name : {"\\apache.", "\\apache", "\\space "})
    ASSERT_TRUE(CreateDirectoryW(literal(name).c_str(), nullptr)) << name;
  for (const char* name : {"\\apache.\\in-dot.txt", "\\apache\\plain.txt", "\\space \\in-space.txt"}) {
    const HANDLE file = CreateFileW(literal(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << name;
    CloseHandle(file);
  }

  CRootFileInfo set("s");
  const CDriveFileInfo* catalog = set.AddCatalog("share", tree);
  ASSERT_NE(nullptr, catalog);
  EXPECT_NE(nullptr, FindByPath(catalog, "apache.\\in-dot.txt"));
  EXPECT_NE(nullptr, FindByPath(catalog, "apache\\plain.txt"));
  EXPECT_NE(nullptr, FindByPath(catalog, "space \\in-space.txt"));
  EXPECT_EQ(nullptr, FindByPath(catalog, "apache.\\plain.txt"));
  // Given as the place to catalog, too.
  const CDriveFileInfo* dotted = set.AddCatalog("dotted", tree + "\\apache.");
  ASSERT_NE(nullptr, dotted);
  EXPECT_NE(nullptr, FindByPath(dotted, "in-dot.txt"));
  EXPECT_EQ(nullptr, FindByPath(dotted, "plain.txt"));
}

TEST(WindowsScan, ProgressCountsWhatIsReadAndACancelledScanGivesNothing) {
  CTempDir dir;
  const std::string tree = dir.Path() + "\\tree";
  ASSERT_TRUE(CreateDirectoryW(WidePath(tree).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(WidePath(tree + "\\a").c_str(), nullptr));
  MakeFile(tree + "\\a\\one", 5);
  MakeFile(tree + "\\two", 7);
  CScanProgress progress;
  std::atomic<bool> cancel{false};
  CScanOptions options;
  options.pProgress = &progress;
  options.pCancel = &cancel;
  std::unique_ptr<CDriveFileInfo> catalog;
  std::string message;
  ASSERT_EQ(EScanStatus::Done, ScanCatalog("c", {tree}, options, catalog, message));
  const CScanCounts counts = progress.Counts();
  EXPECT_EQ(1u, counts.nFolders);
  EXPECT_EQ(2u, counts.nFiles);
  EXPECT_EQ(12u, counts.nBytes);
  cancel = true;
  EXPECT_EQ(EScanStatus::Cancelled, ScanCatalog("c", {tree}, options, catalog, message));
  EXPECT_EQ(nullptr, catalog);
}

TEST(WindowsPaths, DriveRootsAndBackslashes) {
  EXPECT_EQ("C:\\a\\c", MakeAbsolutePath("C:\\a\\.\\b\\..\\c\\"));
  EXPECT_EQ("C:\\a\\b", MakeAbsolutePath("C:/a/b"));
  EXPECT_EQ("C:\\", MakeAbsolutePath("C:\\"));
  EXPECT_EQ("C:\\a", CommonParentPath({"C:\\a\\x", "C:\\a\\y"}));
  EXPECT_EQ("C:\\", CommonParentPath({"C:\\x", "C:\\y"}));
  EXPECT_EQ("C:\\", CommonParentPath({"C:\\x"}));
  EXPECT_EQ("", CommonParentPath({"C:\\x", "D:\\y"}));
  std::string root = "C:\\";
  StripTrailingSeparator(root);
  EXPECT_EQ("C:\\", root);
  EXPECT_EQ("work カタログセット", MakeSetName("C:\\sets\\work.fcf"));
  EXPECT_TRUE(IsRootedPath("C:\\x"));
  EXPECT_TRUE(IsRootedPath("\\\\server\\share"));
  EXPECT_FALSE(IsRootedPath("x\\y"));
  EXPECT_FALSE(IsRootedPath("C:x"));
  // A folder that is no volume's root is offered its own name.
  EXPECT_EQ("", VolumeLabelOf("C:\\windows"));
  EXPECT_EQ("system32", SuggestedCatalogLabel({"C:\\windows\\system32\\"}));

  // A drive is catalogued on its own only.
  CRootFileInfo set("s");
  CRecordingSink sink;
  set.AddCatalogFromPaths("two", {"C:\\", "C:\\windows"}, sink);
  EXPECT_EQ(std::vector<std::string>{kDriveAloneMessage}, sink.m_vecMessages);
}

TEST(WindowsMedia, DriveLetterDecides) {
  EXPECT_EQ(kMediaFixed, MediaTypeOf("C:\\windows"));
  EXPECT_EQ(kMediaUnknown, MediaTypeOf("\\"));
  EXPECT_EQ(kMediaUnknown, MediaTypeOf(""));
}

}  // namespace
