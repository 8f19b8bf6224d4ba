// Atomic replacement on Windows: the new contents go to a named temporary
// file beside the target, which is flushed and moved over the target with
// MoveFileExW (rename does not replace). Windows has no anonymous files; a
// temporary file carries its save's process id, so one that a killed save
// left is removed by the next save once that process is gone.
#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdlib>

#include "platform/process_running.h"
#include "platform/win/win_text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

void (*CAtomicFile::s_pfnStepHook)(EStep) = nullptr;
bool CAtomicFile::s_bNoAnonymousFiles = true;
bool CAtomicFile::s_bNoRenameNoReplace = false;

namespace {

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return EEXIST;
    default: return EIO;
  }
}

void Step(CAtomicFile::EStep step) {
  if (CAtomicFile::s_pfnStepHook) CAtomicFile::s_pfnStepHook(step);
}

std::size_t NameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

CAtomicFile::CAtomicFile(const std::string& target, EMode mode) : m_strTarget(target), m_eMode(mode) {
  // A link is written through: the final path is the file it leads to.
  const HANDLE handle = CreateFileW(WidePath(target).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    std::wstring path(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(handle, path.data(), DWORD(path.size()), 0);
    CloseHandle(handle);
    if (n > 0 && n < path.size()) {
      path.resize(n);
      if (path.compare(0, 4, L"\\\\?\\") == 0 && path.size() < MAX_PATH - 12) path.erase(0, 4);
      m_strTarget = Utf8FromWide(path);
    }
  }
  m_strName = m_strTarget.substr(NameStart(m_strTarget));
}

CAtomicFile::~CAtomicFile() {
  if (m_fd >= 0) _close(m_fd);
  if (!m_strTempName.empty() && !m_bCommitted) DeleteFileW(WidePath(m_strTempName).c_str());
}

std::string CAtomicFile::TempPrefix() const {
  return m_strTarget.substr(0, NameStart(m_strTarget)) + "." + m_strName + ".quarrix-tmp-";
}

void CAtomicFile::RemoveStaleTemporaries() const {
  const std::string prefix = TempPrefix();
  const std::string folder = prefix.substr(0, NameStart(prefix));
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(WidePath(prefix + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  const std::size_t nameLength = prefix.size() - folder.size();
  do {
    const std::string name = Utf8FromWide(data.cFileName);
    if (name.size() <= nameLength || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const DWORD pid = DWORD(std::strtoul(name.c_str() + nameLength, nullptr, 10));
    if (pid != 0 && !IsProcessRunning(pid)) DeleteFileW(WidePath(folder + name).c_str());
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

int CAtomicFile::Open() {
  if (m_fd >= 0) return EBUSY;
  const std::wstring target = WidePath(m_strTarget);
  const HANDLE existing = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (existing != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = GetFileType(existing) == FILE_TYPE_DISK && GetFileInformationByHandle(existing, &info) &&
                         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    CloseHandle(existing);
    if (m_eMode == CREATE_ONLY) return EEXIST;
    if (!regular) return NOT_REGULAR;
    // The move would fail at the end; refuse before anything is written.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return EACCES;
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    return ErrnoOf(GetLastError());
  } else if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // Something stands at the name that cannot be opened: a link to nothing.
    return m_eMode == CREATE_ONLY ? EEXIST : BROKEN_LINK;
  }
  RemoveStaleTemporaries();
  const std::string prefix = TempPrefix() + std::to_string(GetCurrentProcessId()) + "-";
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = prefix + std::to_string((GetTickCount64() + attempt) % 1000000);
    // Not shared for deletion: no other save can remove it while it is written.
    const HANDLE handle = CreateFileW(WidePath(temp).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return ErrnoOf(GetLastError());
    }
    m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (m_fd < 0) {
      CloseHandle(handle);
      DeleteFileW(WidePath(temp).c_str());
      return EMFILE;
    }
    m_strTempName = temp;
    return 0;
  }
  return EIO;  // not EEXIST, which would speak of the target
}

int CAtomicFile::Commit() {
  if (m_fd < 0) return EBADF;
  Step(STEP_WRITTEN);
  int error = 0;
  if (_commit(m_fd) != 0) error = errno;
  if (_close(m_fd) != 0 && error == 0) error = errno;
  m_fd = -1;
  if (error != 0) return error;
  Step(STEP_SYNCED);
  // Without MOVEFILE_REPLACE_EXISTING the move fails where anything stands.
  const DWORD replace = m_eMode == CREATE_ONLY ? 0 : MOVEFILE_REPLACE_EXISTING;
  if (!MoveFileExW(WidePath(m_strTempName).c_str(), WidePath(m_strTarget).c_str(), replace | MOVEFILE_WRITE_THROUGH))
    return ErrnoOf(GetLastError());
  m_bCommitted = true;
  Step(STEP_RENAMED);
  return 0;
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool GetFileIdentity(const std::string& path, CFileIdentity& out) {
  const HANDLE handle = CreateFileW(WidePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!ok) return false;
  out.dev = info.dwVolumeSerialNumber;
  out.ino = (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  out.size = std::int64_t((std::uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
  const std::uint64_t ticks =
      (std::uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  out.mtime.tv_sec = time_t(ticks / 10000000);
  out.mtime.tv_nsec = long(ticks % 10000000 * 100);
  return true;
}

CReplaceLock::~CReplaceLock() {
  if (m_hMutex == nullptr) return;
  ReleaseMutex(m_hMutex);
  CloseHandle(m_hMutex);
}

bool CReplaceLock::Acquire(const std::string& path, const std::function<void()>& waiting,
                           const std::atomic<bool>* cancel) {
  // A lock on the file's bytes would stop other programs reading it, so the
  // lock is a mutex named after the file's full path, which Windows compares
  // without case.
  const std::wstring wide = WidePath(path);
  std::wstring full(32768, L'\0');
  const DWORD n = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
  if (n == 0 || n >= full.size()) return false;
  full.resize(n);
  CharUpperBuffW(full.data(), n);
  std::uint64_t hash = 14695981039346656037ull;
  for (wchar_t c : full) hash = (hash ^ std::uint16_t(c)) * 1099511628211ull;
  const DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  wchar_t name[64];
  swprintf(name, 64, L"Local\\quarrix-replace-%016llx", static_cast<unsigned long long>(hash));
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
  if (mutex == nullptr) return false;
  DWORD wait = WaitForSingleObject(mutex, 0);
  if (wait == WAIT_TIMEOUT && waiting) waiting();
  // In slices, so that a cancel ends the wait.
  while (wait == WAIT_TIMEOUT && (cancel == nullptr || !cancel->load())) wait = WaitForSingleObject(mutex, 50);
  // An abandoned mutex is ours: its holder died, and the file is as it left it.
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    CloseHandle(mutex);
    return false;
  }
  m_hMutex = mutex;
  return true;
}
