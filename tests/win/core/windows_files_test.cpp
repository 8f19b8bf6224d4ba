// Windows' own ways with files: atomic saves without anonymous files, names
// that are not valid UTF-16, and settings in the registry.
#include <gtest/gtest.h>

#include <string>

#include "document/settings_store.h"
#include "model/root_file_info.h"
#include "model/scan.h"
#include "platform/atomic_file.h"
#include "platform/console_text.h"
#include "platform/real_name.h"
#include "platform/win/win_text.h"
#include "tests/core/test_util.h"

#include <windows.h>

namespace {

int Save(const std::string& path, const std::string& bytes) {
  CAtomicFile file(path);
  if (int error = file.Open()) return error;
  if (::write(file.Fd(), bytes.data(), unsigned(bytes.size())) != int(bytes.size())) return EIO;
  return file.Commit();
}

bool Exists(const std::string& path) { return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(WindowsAtomicFile, ReplacesAndCleansUpAndRefusesWhatItMustNotReplace) {
  CTempDir dir;
  const std::string path = dir.Path() + "\\set.fcf";
  WriteFileBytes(path, "old");
  // Left by a save whose process is gone.
  const std::string stale = dir.Path() + "\\.set.fcf.quarrix-tmp-4294967280-1";
  WriteFileBytes(stale, "half");
  ASSERT_EQ(0, Save(path, "new"));
  EXPECT_EQ("new", ReadFileBytes(path));
  EXPECT_FALSE(Exists(stale));
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(WidePath(dir.Path() + "\\*tmp*").c_str(), &data);
  EXPECT_EQ(INVALID_HANDLE_VALUE, find);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);

  ASSERT_TRUE(SetFileAttributesW(WidePath(path).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(EACCES, Save(path, "lost"));
  EXPECT_EQ("new", ReadFileBytes(path));
  ASSERT_TRUE(SetFileAttributesW(WidePath(path).c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(CAtomicFile::NOT_REGULAR, Save(dir.Path(), "x"));

  CFileIdentity before, after;
  ASSERT_TRUE(GetFileIdentity(path, before));
  ASSERT_EQ(0, Save(path, "newer"));
  ASSERT_TRUE(GetFileIdentity(path, after));
  EXPECT_NE(before, after);
}

TEST(WindowsNames, ALoneSurrogateLeadsBackToItsFile) {
  CTempDir dir;
  const std::string tree = dir.Path() + "\\tree";
  ASSERT_TRUE(CreateDirectoryW(WidePath(tree).c_str(), nullptr));
  const std::wstring odd = L"a\xD800z.txt";
  const HANDLE file = CreateFileW((WidePath(tree) + L"\\" + odd).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) GTEST_SKIP() << "the file system refuses such names";
  CloseHandle(file);
  const std::string name = ItemNameOf(Utf8FromWide(odd));
  EXPECT_EQ(std::wstring::npos, WideFromUtf8(name).find(L'\xD800'));  // valid text for the views

  CRootFileInfo set("s");
  const CDriveFileInfo* catalog = set.AddCatalog("disk", tree);
  ASSERT_NE(nullptr, catalog);
  ASSERT_NE(nullptr, FindByPath(catalog, name));
  const std::string real = RealPathBelow(catalog->m_strCatalogedPath, name);
  EXPECT_EQ(WidePath(tree) + L"\\" + odd, WidePath(real));
}

TEST(WindowsSettings, LiveInTheRegistryWithTheirTypes) {
  const std::string root = "Software\\Quarrix Tests\\" + std::to_string(GetCurrentProcessId());
  {
    CSettingsStore store(root);
    store.SetInt("CatalogOut", "Size", 1);
    store.SetString("FileOpenApp", "000000", "C:\\アプリ\\a.exe");
    store.SetString("FileOpenApp", "000001", "b.exe");
    EXPECT_EQ(1, store.GetInt("CatalogOut", "Size", 0));  // before Flush too
    ASSERT_TRUE(store.Flush());
  }
  DWORD number = 0, size = sizeof number;
  EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, WideFromUtf8(root + "\\CatalogOut").c_str(), L"Size",
                                        RRF_RT_REG_DWORD, nullptr, &number, &size));
  EXPECT_EQ(1u, number);
  CSettingsStore store(root);
  EXPECT_EQ("C:\\アプリ\\a.exe", store.GetString("FileOpenApp", "000000"));
  EXPECT_EQ((std::vector<std::string>{"000000", "000001"}), store.GetKeys("FileOpenApp"));
  store.DeleteSection("FileOpenApp");
  store.SetString("FileOpenApp", "000000", "c.exe");
  ASSERT_TRUE(store.Flush());
  EXPECT_EQ(std::vector<std::string>{"000000"}, CSettingsStore(root).GetKeys("FileOpenApp"));
  EXPECT_EQ("c.exe", CSettingsStore(root).GetString("FileOpenApp", "000000"));
  RegDeleteTreeW(HKEY_CURRENT_USER, WideFromUtf8(root).c_str());
}

}  // namespace

namespace {

// Japanese text reaches a console as characters, whatever its code page,
// and anything else as the UTF-8 bytes.
TEST(WindowsConsole, TextReachesTheConsoleAsCharacters) {
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(WriteConsoleText(file, "x"));
  std::fclose(file);
  // A console of the test's own, whatever the run was started from.
  FreeConsole();
  if (!AllocConsole()) GTEST_SKIP() << "no console can be made here: " << GetLastError();
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) {
    FreeConsole();
    GTEST_SKIP() << "no console screen can be made here: " << GetLastError();
  }
  const HANDLE before = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, console);
  SetConsoleOutputCP(932);
  const COORD origin{0, 0};
  DWORD written = 0;
  FillConsoleOutputCharacterW(console, L' ', 200, origin, &written);
  SetConsoleCursorPosition(console, origin);
  const bool wrote = WriteConsoleText(stdout, "日本語のカタログ");
  SetStdHandle(STD_OUTPUT_HANDLE, before);
  wchar_t shown[8] = {};
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, shown, 8, origin, &read);
  CloseHandle(console);
  FreeConsole();
  EXPECT_TRUE(wrote);
  EXPECT_EQ(std::wstring(shown, read), L"日本語のカタログ");
}

}  // namespace
