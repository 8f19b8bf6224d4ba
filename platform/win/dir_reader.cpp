// Folder reading on Windows: a folder descriptor is a C runtime descriptor
// over the folder's handle (so callers close it as on Linux), and entries
// come from FindFirstFileExW with the system's find data as they are.
#include "platform/dir_reader.h"

#include <cerrno>

#include "platform/real_name.h"
#include "platform/scan_counts.h"
#include "platform/win/win_text.h"

#include <io.h>
#include <windows.h>

namespace {

std::uint64_t FileTimeOf(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

void FillRecord(const WIN32_FIND_DATAW& data, CFindData& out) {
  out.dwFileAttributes = data.dwFileAttributes;
  out.ftCreationTime = FileTimeOf(data.ftCreationTime);
  out.ftLastAccessTime = FileTimeOf(data.ftLastAccessTime);
  out.ftLastWriteTime = FileTimeOf(data.ftLastWriteTime);
  out.nFileSizeHigh = data.nFileSizeHigh;
  out.nFileSizeLow = data.nFileSizeLow;
  out.dwReserved0 = data.dwReserved0;
  out.dwReserved1 = data.dwReserved1;
  out.cFileName = ItemNameOf(Utf8FromWide(data.cFileName));
  out.cAlternateFileName = Utf8FromWide(data.cAlternateFileName);
}

bool IsDotOrDotDot(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// The path of an open folder, in the "\\?\" form that has no length limit.
std::wstring FolderPathOf(int fd) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(n + 1);
  }
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L'\\' + name;
}

// Opens a folder; a reparse point (junction or link) is opened only when
// follow is set, so a walk never leaves the tree it was given.
int OpenFolderWide(const std::wstring& path, bool follow) {
  const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  const HANDLE handle =
      CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT
            : error == ERROR_ACCESS_DENIED                                 ? EACCES
            : error == ERROR_TOO_MANY_OPEN_FILES                           ? EMFILE
                                                                           : EIO;
    return -1;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (!follow && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
    CloseHandle(handle);
    errno = ENOTDIR;
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY);
  if (fd < 0) CloseHandle(handle);
  return fd;
}

bool FindOne(const std::wstring& path, CFindData& out) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  FillRecord(data, out);
  return true;
}

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

}  // namespace

int OpenFolderPath(const std::string& path) { return OpenFolderWide(WidePath(path), true); }

// The C runtime's own bound on descriptors.
int OpenDescriptorLimit() { return 8192; }

int CFolderLister::OpenFolder(int dirFd, const std::string& name, bool follow) {
  if (dirFd == AT_FDCWD) return OpenFolderPath(name);
  const std::wstring folder = FolderPathOf(dirFd);
  if (folder.empty()) return -1;
  return OpenFolderWide(Join(folder, WideFromUtf8(name)), follow);
}

void CFolderLister::CloseFolder(int fd) { _close(fd); }

bool CFolderLister::ReadEntries(int fd, std::vector<CDirEntry>& out) {
  const std::wstring folder = FolderPathOf(fd);
  if (folder.empty()) return false;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoStandard, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  CPendingCounts counts(m_pProgress);
  do {
    if (IsDotOrDotDot(data.cFileName)) continue;
    if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) break;
    CDirEntry entry;
    FillRecord(data, entry.record);
    entry.strRawName = Utf8FromWide(data.cFileName);
    counts.Add((entry.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, entry.record.Size());
    out.push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  const bool whole = GetLastError() == ERROR_NO_MORE_FILES || (m_pCancel != nullptr && m_pCancel->load());
  FindClose(find);
  return whole;
}

bool ReadEntryRecord(int dirFd, const std::string& name, CFindData& out) {
  if (name.empty() || HasWildcard(name)) return false;
  const std::wstring folder = FolderPathOf(dirFd);
  return !folder.empty() && FindOne(Join(folder, WideFromUtf8(name)), out);
}

// The device facts stay zero: a volume mounted inside another is a reparse
// point, which the walk already does not enter unless it follows links.
bool ReadEntry(int dirFd, const std::string& name, CDirEntry& out) {
  out.strRawName = name;
  return ReadEntryRecord(dirFd, name, out.record);
}

bool ReadPathRecord(const std::string& path, CFindData& out) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == ".." || HasWildcard(name)) return false;
  if (name.size() == 2 && name[1] == ':') return false;  // a drive is no entry
  return FindOne(WidePath(path), out);
}
