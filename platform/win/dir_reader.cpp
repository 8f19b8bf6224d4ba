// Folder reading on Windows: a folder descriptor is the folder's handle
// (folder_handle.h), closed through CloseFolder. Subfolders are opened by
// name relative to their parent's handle and listed through their own
// handle, so names are taken literally ("apache." is not "apache") and no
// path is ever asked back from a handle.
#include "platform/dir_reader.h"

#include <cerrno>
#include <climits>
#include <mutex>
#include <unordered_map>

#include "platform/real_name.h"
#include "platform/scan_counts.h"
#include "platform/win/folder_handle.h"
#include "platform/win/win_text.h"

#include <windows.h>
#include <winternl.h>

namespace {

std::mutex g_volumesMutex;
std::unordered_map<HANDLE, std::uint64_t>& Volumes() {
  static std::unordered_map<HANDLE, std::uint64_t> volumes;
  return volumes;
}

void ForgetFolderVolume(HANDLE folder) {
  std::lock_guard<std::mutex> lock(g_volumesMutex);
  Volumes().erase(folder);
}

// NT open options, not all of which MinGW's headers name.
constexpr ULONG kDirectoryFile = 0x00000001;
constexpr ULONG kSynchronousIo = 0x00000020;
constexpr ULONG kForBackup = 0x00004000;
constexpr ULONG kOpenReparsePoint = 0x00200000;
constexpr DWORD kListBufferSize = 64 * 1024;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::uint64_t FileTimeOf(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }
std::uint64_t FileTimeOf(const LARGE_INTEGER& t) { return std::uint64_t(t.QuadPart); }

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

// The same facts as the find calls give them (the reparse tag in the first
// reserved field).
void FillRecord(const FILE_ID_BOTH_DIR_INFO& info, const std::string& rawName, CFindData& out) {
  out.dwFileAttributes = info.FileAttributes;
  out.ftCreationTime = FileTimeOf(info.CreationTime);
  out.ftLastAccessTime = FileTimeOf(info.LastAccessTime);
  out.ftLastWriteTime = FileTimeOf(info.LastWriteTime);
  out.SetSize(std::uint64_t(info.EndOfFile.QuadPart));
  out.dwReserved0 = (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? info.EaSize : 0;
  out.dwReserved1 = 0;
  out.cFileName = ItemNameOf(rawName);
  out.cAlternateFileName = Utf8FromWide(std::wstring_view(info.ShortName, info.ShortNameLength / sizeof(WCHAR)));
}

// A symbolic link or junction (a name surrogate; the tag is in the first
// reserved field) stands for another entry: unless the walk follows it as
// a folder it is a link, whose facts the listing already gives as its own.
void MarkLink(CDirEntry& entry, bool followFolders) {
  constexpr DWORD kNameSurrogateBit = 0x20000000;
  const CFindData& record = entry.record;
  if ((record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 || (record.dwReserved0 & kNameSurrogateBit) == 0)
    return;
  entry.bLink = !followFolders || (record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsDotOrDotDot(std::wstring_view name) { return name == L"." || name == L".."; }

int ErrnoOf(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT
         : error == ERROR_ACCESS_DENIED                                 ? EACCES
         : error == ERROR_TOO_MANY_OPEN_FILES                           ? EMFILE
         : error == ERROR_DIRECTORY                                     ? ENOTDIR
                                                                        : EIO;
}

// The descriptor of an open folder handle; a reparse point (junction or
// link) is refused unless follow is set, so a walk never leaves its tree.
int FolderDescriptor(HANDLE handle, bool follow) {
  FILE_ATTRIBUTE_TAG_INFO info;
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) ||
      (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (!follow && (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
    CloseHandle(handle);
    errno = ENOTDIR;
    return -1;
  }
  if (reinterpret_cast<intptr_t>(handle) > INT_MAX) {  // never so far: handles are small numbers
    CloseHandle(handle);
    errno = EMFILE;
    return -1;
  }
  return int(reinterpret_cast<intptr_t>(handle));
}

int OpenFolderWide(const std::wstring& path) {
  const HANDLE handle = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ErrnoOf(GetLastError());
    return -1;
  }
  const int fd = FolderDescriptor(handle, true);
  BY_HANDLE_FILE_INFORMATION info;
  if (fd >= 0 && GetFileInformationByHandle(handle, &info)) KeepFolderVolume(handle, info.dwVolumeSerialNumber);
  return fd;
}

// Opens the folder name inside the open folder parent, as named.
int OpenFolderIn(HANDLE parent, const std::wstring& name, bool follow) {
  if (name.empty() || name.size() * sizeof(WCHAR) > 0xFFFF || name.find_first_of(L"\\/") != std::wstring::npos) {
    errno = ENOENT;
    return -1;
  }
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = text.MaximumLength = USHORT(name.size() * sizeof(WCHAR));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, 0, parent, nullptr);
  IO_STATUS_BLOCK io;
  HANDLE handle = nullptr;
  const NTSTATUS status = NtCreateFile(
      &handle, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &io, nullptr, 0, kShareAll,
      FILE_OPEN, kDirectoryFile | kSynchronousIo | kForBackup | (follow ? 0 : kOpenReparsePoint), nullptr, 0);
  if (status < 0) {
    errno = ErrnoOf(RtlNtStatusToDosError(status));
    return -1;
  }
  const int fd = FolderDescriptor(handle, follow);
  // Another volume is entered only through a reparse point (a mount point),
  // which only a followed link opens.
  std::uint64_t volume = 0;
  if (fd >= 0 && !follow && KnownFolderVolume(parent, volume)) KeepFolderVolume(handle, volume);
  return fd;
}

// Calls take(info) for each entry of the open folder, "." and ".." left out,
// until it returns false. False when the listing failed part way; *level is
// *unsupported is set when the file system cannot list this way at all.
template <typename Take>
bool ListFolder(HANDLE folder, Take take, bool* unsupported) {
  std::vector<LONGLONG> buffer(kListBufferSize / sizeof(LONGLONG));  // aligned as the records need
  for (FILE_INFO_BY_HANDLE_CLASS level = FileIdBothDirectoryRestartInfo;; level = FileIdBothDirectoryInfo) {
    if (!GetFileInformationByHandleEx(folder, level, buffer.data(), kListBufferSize)) {
      const DWORD error = GetLastError();
      const bool first = level == FileIdBothDirectoryRestartInfo;
      *unsupported =
          first && (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_LEVEL);
      // A root without entries has not even "." to give.
      return error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND);
    }
    for (const char* at = reinterpret_cast<const char*>(buffer.data());;) {
      const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
      const std::wstring_view name(info.FileName, info.FileNameLength / sizeof(WCHAR));
      if (!IsDotOrDotDot(name) && !take(info, name)) return true;
      if (info.NextEntryOffset == 0) break;
      at += info.NextEntryOffset;
    }
  }
}

// The path of an open folder, for file systems that cannot list through a
// handle (the find calls take a path).
std::wstring FolderPathOf(int fd) {
  const HANDLE handle = FolderHandleOf(fd);
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

bool FindOne(const std::wstring& path, CFindData& out) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW(path.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  FillRecord(data, out);
  return true;
}

// Wildcards of the find calls, the system's own ones included.
bool HasWildcard(const std::string& name) { return name.find_first_of("*?<>\"") != std::string::npos; }

}  // namespace

bool KnownFolderVolume(HANDLE folder, std::uint64_t& volume) {
  std::lock_guard<std::mutex> lock(g_volumesMutex);
  const auto it = Volumes().find(folder);
  if (it == Volumes().end()) return false;
  volume = it->second;
  return true;
}

void KeepFolderVolume(HANDLE folder, std::uint64_t volume) {
  std::lock_guard<std::mutex> lock(g_volumesMutex);
  Volumes()[folder] = volume;
}

int OpenFolderPath(const std::string& path) { return OpenFolderWide(LiteralWidePath(path)); }

// The walk's own bound on open folders: handles have none as low.
int OpenDescriptorLimit() { return 8192; }

int CFolderLister::OpenFolder(int dirFd, const std::string& name, bool follow) {
  if (dirFd == AT_FDCWD) return OpenFolderPath(name);
  const HANDLE parent = FolderHandleOf(dirFd);
  if (parent == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  return OpenFolderIn(parent, WideFromUtf8(name), follow);
}

void CFolderLister::CloseFolder(int fd) {
  const HANDLE folder = FolderHandleOf(fd);
  ForgetFolderVolume(folder);
  CloseHandle(folder);
}

bool CFolderLister::ReadEntries(int fd, std::vector<CDirEntry>& out) {
  const HANDLE folder = FolderHandleOf(fd);
  if (folder == INVALID_HANDLE_VALUE) return false;
  CPendingCounts counts(m_pProgress);
  bool unsupported = false;
  bool stopped = false;
  const bool whole = ListFolder(
      folder,
      [&](const FILE_ID_BOTH_DIR_INFO& info, std::wstring_view name) {
        if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) {
          stopped = true;
          return false;
        }
        CDirEntry entry;
        entry.strRawName = Utf8FromWide(name);
        FillRecord(info, entry.strRawName, entry.record);
        MarkLink(entry, m_bFollowFolderLinks);
        counts.Add((entry.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, entry.record.Size());
        out.push_back(std::move(entry));
        return true;
      },
      &unsupported);
  if (!unsupported) return whole || stopped;
  const std::wstring path = FolderPathOf(fd);
  WIN32_FIND_DATAW data;
  const HANDLE find = path.empty() ? INVALID_HANDLE_VALUE
                                   : FindFirstFileExW(Join(path, L"*").c_str(), FindExInfoStandard, &data,
                                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return !path.empty() && GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (IsDotOrDotDot(data.cFileName)) continue;
    if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) break;
    CDirEntry entry;
    FillRecord(data, entry.record);
    entry.strRawName = Utf8FromWide(data.cFileName);
    MarkLink(entry, m_bFollowFolderLinks);
    counts.Add((entry.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, entry.record.Size());
    out.push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  const bool all = GetLastError() == ERROR_NO_MORE_FILES || (m_pCancel != nullptr && m_pCancel->load());
  FindClose(find);
  return all;
}

// Looked up in a listing of its own, so that the reader's handle keeps its place.
bool ReadEntryRecord(int dirFd, const std::string& name, CFindData& out) {
  if (name.empty() || HasWildcard(name)) return false;
  const HANDLE own =
      ReOpenFile(FolderHandleOf(dirFd), FILE_LIST_DIRECTORY | SYNCHRONIZE, kShareAll, FILE_FLAG_BACKUP_SEMANTICS);
  if (own == INVALID_HANDLE_VALUE) return false;
  const std::wstring wanted = WideFromUtf8(name);
  bool found = false, unsupported = false;
  ListFolder(
      own,
      [&](const FILE_ID_BOTH_DIR_INFO& info, std::wstring_view entry) {
        if (entry != wanted) return true;
        FillRecord(info, name, out);
        found = true;
        return false;
      },
      &unsupported);
  CloseHandle(own);
  return found;
}

// The device facts stay zero: a volume mounted inside another is a reparse
// point, which the walk already does not enter unless it follows links.
bool ReadEntry(int dirFd, const std::string& name, CDirEntry& out) {
  out = CDirEntry();
  out.strRawName = name;
  if (!ReadEntryRecord(dirFd, name, out.record)) return false;
  MarkLink(out, true);
  return true;
}

bool ReadPathRecord(const std::string& path, CFindData& out) {
  CDirEntry entry;
  if (LookUpPathEntry(path, entry) != EPathLookup::Found) return false;
  out = std::move(entry.record);
  return true;
}

bool ReadPathEntry(const std::string& path, CDirEntry& out) { return LookUpPathEntry(path, out) == EPathLookup::Found; }

EPathLookup LookUpPathEntry(const std::string& path, CDirEntry& out) {
  out = CDirEntry();
  const std::size_t slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == ".." || HasWildcard(name)) return EPathLookup::Missing;
  if (name.size() == 2 && name[1] == ':') return EPathLookup::Missing;  // a drive is no entry
  if (!FindOne(LiteralWidePath(path), out.record)) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EPathLookup::Missing
                                                                          : EPathLookup::Unreadable;
  }
  MarkLink(out, true);
  return EPathLookup::Found;
}
