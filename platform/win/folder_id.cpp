#include "platform/folder_id.h"

#include <cstring>

#include <io.h>
#include <windows.h>

namespace {

// The system's FILE_ID_INFO and its class, which the headers give only to
// programs that need Windows 8 (older systems refuse the class).
constexpr auto kFileIdInfo = FILE_INFO_BY_HANDLE_CLASS(18);
struct CFileIdInfo {
  ULONGLONG nVolume;
  BYTE id[16];
};

}  // namespace

// The identity query answers from the open handle alone; the older one also
// asks for the volume's facts, a costly round under Wine, and serves only
// file systems that lack the first.
bool ReadFolderId(int fd, CFolderId& out) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return false;
  CFileIdInfo id;
  if (GetFileInformationByHandleEx(handle, kFileIdInfo, &id, sizeof id)) {
    std::uint64_t low = 0, high = 0;
    std::memcpy(&low, id.id, sizeof low);
    std::memcpy(&high, id.id + sizeof low, sizeof high);
    // 128-bit numbers (ReFS) are folded; the 64-bit ones of NTFS stay whole.
    out = {id.nVolume, low ^ (high * 0x9E3779B97F4A7C15ull)};
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  out = {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

// Windows has no such file systems among its drives.
bool IsVirtualFileSystem(int) { return false; }
