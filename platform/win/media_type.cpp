// The medium behind a drive letter: the disk's own report of its media types
// first, then the drive's type.
#include "model/media_type.h"

#include <windows.h>
#include <winioctl.h>

namespace {

// The first of the media types the volume reports; 0 when it cannot be asked.
int DiskMediaType(wchar_t letter) {
  const wchar_t volume[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
  const HANDLE handle = CreateFileW(volume, 0, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  DISK_GEOMETRY geometry[20];
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(handle, IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, geometry, sizeof geometry,
                                  &returned, nullptr);
  CloseHandle(handle);
  return ok && returned >= sizeof geometry[0] ? static_cast<int>(geometry[0].MediaType) : 0;
}

const char* FromDiskMediaType(int code) {
  if (code == RemovableMedia) return kMediaRemovable;
  if (code == FixedMedia) return kMediaFixed;
  if (code >= 1 && code <= 22) return kMediaFloppy;
  return nullptr;
}

const char* FromDriveType(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  switch (GetDriveTypeW(root)) {
    case DRIVE_REMOVABLE: return kMediaRemovable;
    case DRIVE_FIXED: return kMediaFixed;
    case DRIVE_REMOTE: return kMediaNetwork;
    case DRIVE_CDROM: return kMediaCdRom;
    case DRIVE_RAMDISK: return kMediaRamDisk;
    default: return nullptr;
  }
}

}  // namespace

// Only the drive letter that begins path counts; the mount table of Linux has
// no counterpart here, so roots is not used.
std::string MediaTypeOf(const std::string& path, const CMediaRoots&) {
  if (path.size() < 2 || path[1] != ':') return kMediaUnknown;
  const char c = path[0];
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return kMediaUnknown;
  const wchar_t letter = static_cast<wchar_t>(c & ~0x20);
  if (const char* text = FromDiskMediaType(DiskMediaType(letter))) return text;
  if (const char* text = FromDriveType(letter)) return text;
  return kMediaUnknown;
}
