// Atomic replacement on Windows: the temporary file beside the target is
// flushed and moved over it with MoveFileExW, which replaces an existing file
// (rename does not).
#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdlib>

#include "platform/win/win_text.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

namespace {

int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    default: return EIO;
  }
}

}  // namespace

CAtomicFile::CAtomicFile(const std::string& target) : m_strTarget(target) {
  // A link is written through: the final path is the file it leads to.
  const HANDLE handle = CreateFileW(WidePath(target).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  wchar_t path[32768];
  const DWORD n = GetFinalPathNameByHandleW(handle, path, 32768, 0);
  CloseHandle(handle);
  if (n == 0 || n >= 32768) return;
  std::wstring final(path, n);
  if (final.compare(0, 4, L"\\\\?\\") == 0 && final.size() < MAX_PATH - 12) final.erase(0, 4);
  m_strTarget = Utf8FromWide(final);
}

CAtomicFile::~CAtomicFile() {
  if (m_fd >= 0) _close(m_fd);
  if (!m_strTemp.empty() && !m_bCommitted) DeleteFileW(WidePath(m_strTemp).c_str());
}

int CAtomicFile::Open() {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = m_strTarget + "." + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount64() % 1000000 + attempt) + ".tmp";
    m_fd = _wopen(WidePath(temp).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
    if (m_fd >= 0) {
      m_strTemp = temp;
      return m_fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

int CAtomicFile::Commit() {
  if (m_fd < 0) return EBADF;
  int error = 0;
  if (_commit(m_fd) != 0) error = errno;
  if (_close(m_fd) != 0 && error == 0) error = errno;
  m_fd = -1;
  if (error != 0) return error;
  // A read-only target is not replaced: Windows refuses, as Explorer does.
  if (!MoveFileExW(WidePath(m_strTemp).c_str(), WidePath(m_strTarget).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return ErrnoOf(GetLastError());
  m_bCommitted = true;
  return 0;
}
