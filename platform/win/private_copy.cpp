// Copies on Windows: the area is in the user's own temporary folder, which
// only the user (and administrators) may enter, so its folders need no
// access list of their own. Paths are taken literally ("\\?\"), so that no
// part of a name is read as a device or a drive; the copy is created with
// CREATE_NEW, which takes nothing that exists, a link included.
#include "platform/private_copy.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/process_running.h"
#include "platform/win/win_text.h"

#include <windows.h>

namespace {

// Our folders hold one file; deeper trees are not ours to walk far.
constexpr int kMaxRemoveDepth = 4;

int LastErrno() {
  switch (GetLastError()) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_ACCESS_DENIED: return EACCES;
    default: return EIO;
  }
}

// The area is taken only as a folder of its own, not a link to one.
bool IsPlainFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(LiteralWidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Removes path and, when it is a folder, what it holds; a link (a symbolic
// link or a junction) is removed, never followed.
void RemoveTree(const std::string& path, int depth) {
  const std::wstring wide = LiteralWidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    if (!link && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
      SetFileAttributesW(wide.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    DeleteFileW(wide.c_str());
    return;
  }
  if (!link && depth < kMaxRemoveDepth) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((wide + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(Utf8FromWide(name));
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    for (const std::string& name : names) RemoveTree(path + "\\" + name, depth + 1);
  }
  RemoveDirectoryW(wide.c_str());
}

}  // namespace

void RemoveCopyFolders(const std::string& area, const std::function<bool(std::int64_t owner)>& remove) {
  if (!IsPlainFolder(area)) return;
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW((LiteralWidePath(area) + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf8FromWide(data.cFileName);
    if (const std::int64_t owner = CopyFolderOwner(name); owner != 0 && remove(owner)) names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  for (const std::string& name : names) RemoveTree(area + "\\" + name, 0);
}

CPrivateCopy::~CPrivateCopy() {
  if (m_hFile != nullptr) CloseHandle(m_hFile);
  m_hFile = nullptr;
  if (!m_bKept) Remove();
}

int CPrivateCopy::Create(const std::string& area, const std::string& name) {
  if (!m_strFolder.empty()) return EBUSY;
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos) return EINVAL;
  if (!CreateDirectoryW(LiteralWidePath(area).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return LastErrno();
  if (!IsPlainFolder(area)) return EACCES;
  m_strArea = area;
  static std::atomic<unsigned> s_nCopies{0};
  for (int attempt = 0; m_strFolder.empty(); ++attempt) {
    const std::string folder = CopyFolderName(CurrentProcessId(), ++s_nCopies);
    if (CreateDirectoryW(LiteralWidePath(area + "\\" + folder).c_str(), nullptr))
      m_strFolder = folder;
    else if (GetLastError() != ERROR_ALREADY_EXISTS || attempt == 1000)
      return LastErrno();
  }
  const std::string path = area + "\\" + m_strFolder + "\\" + name;
  const HANDLE file = CreateFileW(LiteralWidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastErrno();
  m_hFile = file;
  m_strPath = path;
  return 0;
}

bool CPrivateCopy::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = DWORD(std::min<std::size_t>(size, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(m_hFile, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

int CPrivateCopy::Close() {
  if (m_hFile == nullptr) return EBADF;
  const bool closed = CloseHandle(m_hFile) != 0;
  m_hFile = nullptr;
  return closed ? 0 : EIO;
}

void CPrivateCopy::Remove() {
  if (!m_strFolder.empty()) RemoveTree(m_strArea + "\\" + m_strFolder, 0);
}

std::string DefaultCopyArea() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  std::string base = length > 0 && length <= MAX_PATH ? Utf8FromWide(std::wstring_view(temp, length)) : "C:\\Temp\\";
  if (base.back() != '\\') base += '\\';
  wchar_t user[257];
  DWORD userLength = 257;
  const std::string who = GetUserNameW(user, &userLength) && userLength > 1 ? Utf8FromWide(user) : "user";
  return base + "quarrix-members-" + who;
}
