#include "platform/folder_id.h"

#include <io.h>
#include <windows.h>

bool ReadFolderId(int fd, CFolderId& out) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return false;
  out = {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

// Windows has no such file systems among its drives.
bool IsVirtualFileSystem(int) { return false; }
