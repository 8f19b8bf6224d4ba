#include "platform/folder_id.h"

#include "platform/win/folder_handle.h"

#include <windows.h>
#include <winternl.h>

namespace {

// The file's number alone (FileInternalInformation), which the system
// answers from the handle; the volume's facts are the costly part of the
// full information, a round to the mount manager under Wine.
constexpr auto kFileInternalInformation = FILE_INFORMATION_CLASS(6);
struct CFileInternalInformation {
  LARGE_INTEGER nIndex;
};

}  // namespace

bool ReadFolderId(int fd, CFolderId& out) {
  const HANDLE handle = FolderHandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) return false;
  std::uint64_t volume = 0;
  CFileInternalInformation internal;
  IO_STATUS_BLOCK io;
  if (KnownFolderVolume(handle, volume) &&
      NtQueryInformationFile(handle, &io, &internal, sizeof internal, kFileInternalInformation) >= 0) {
    out = {volume, std::uint64_t(internal.nIndex.QuadPart)};
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  KeepFolderVolume(handle, info.dwVolumeSerialNumber);
  out = {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

// Windows has no such file systems among its drives.
bool IsVirtualFileSystem(int) { return false; }
