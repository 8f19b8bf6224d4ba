// The medium behind a drive letter: the disk's own report of its media types
// first, then the drive's type.
#include "platform/media_type.h"

#include <io.h>

#include <cstdio>

#include "platform/win/win_text.h"

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
  const BOOL ok =
      DeviceIoControl(handle, IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, geometry, sizeof geometry, &returned, nullptr);
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

// The root of the volume holding path ("C:\", or the folder a volume is
// mounted on), with its final backslash; empty when it cannot be asked.
std::wstring VolumeRootOf(const std::wstring& path) {
  std::wstring root(path.size() + MAX_PATH, L'\0');
  if (!GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
  root.resize(wcslen(root.c_str()));
  return root;
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

std::string FileSystemTypeOf(int fd, const CMediaRoots&) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  wchar_t name[MAX_PATH + 1];
  if (handle == INVALID_HANDLE_VALUE ||
      !GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1))
    return {};
  return Utf8FromWide(name);
}

// The label the volume itself keeps, when path is the root it is reached at
// ("C:\" or "C:", or a folder a volume is mounted on).
std::string VolumeLabelOf(const std::string& path, const CMediaRoots&) {
  if (path.empty()) return {};
  std::wstring wide = WideFromUtf8(path);
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  if (wide.back() != L'\\') wide += L'\\';
  const std::wstring root = VolumeRootOf(wide);
  if (root.empty() || CompareStringOrdinal(root.c_str(), -1, wide.c_str(), -1, TRUE) != CSTR_EQUAL) return {};
  wchar_t label[MAX_PATH + 1];
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
  return Utf8FromWide(label);
}

namespace {

// Every drive letter in use, "C:\" and so on, in letter order.
std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i)
    if ((drives & (1u << i)) != 0) roots.push_back(std::string{char('A' + i), ':', '\\'});
  return roots;
}

}  // namespace

// The drives that hold a medium: a disc or card put into a drive that was
// there already appears as a new mount point.
std::vector<std::string> MountPoints(const CMediaRoots&) {
  std::vector<std::string> points;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);  // an empty drive is no error to show
  for (const std::string& root : DriveRoots())
    if (GetVolumeInformationW(WideFromUtf8(root).c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0))
      points.push_back(root);
  SetErrorMode(oldMode);
  return points;
}

// Drives of removable disks and discs, "D:\" and so on, in letter order.
std::vector<std::string> RemovableMountPoints(const CMediaRoots&) {
  std::vector<std::string> points;
  for (const std::string& root : DriveRoots()) {
    const UINT type = GetDriveTypeW(WideFromUtf8(root).c_str());
    if (type == DRIVE_REMOVABLE || type == DRIVE_CDROM) points.push_back(root);
  }
  return points;
}

// The volume's serial number stands for the UUID Linux file systems carry.
bool ReadMediumIdentity(const std::string& path, CMediumIdentity& out, const CMediaRoots&) {
  out = CMediumIdentity();
  const std::wstring given = WidePath(path);
  if (given.empty()) return false;
  std::wstring wide(given.size() + MAX_PATH, L'\0');
  const DWORD length = GetFullPathNameW(given.c_str(), DWORD(wide.size()), wide.data(), nullptr);
  if (length == 0 || length >= wide.size()) return false;
  wide.resize(length);
  if (wide.back() != L'\\') wide += L'\\';
  const std::wstring root = VolumeRootOf(wide);
  if (root.empty()) return false;
  wchar_t label[MAX_PATH + 1], fileSystem[MAX_PATH + 1];
  DWORD serial = 0;
  if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr, fileSystem, MAX_PATH + 1))
    return false;
  char id[9];
  std::snprintf(id, sizeof id, "%08lX", static_cast<unsigned long>(serial));
  out.strId = id;
  out.strIdSource = "serial";
  out.strVolumeLabel = Utf8FromWide(label);
  out.strFileSystem = Utf8FromWide(fileSystem);
  ULARGE_INTEGER total{};
  if (GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr)) out.nTotalBytes = total.QuadPart;
  // The folder below the volume's root, with "\\" as its separator.
  std::string below = wide.size() >= root.size() ? Utf8FromWide(wide.substr(root.size() - 1)) : "\\";
  if (below.size() > 1 && below.back() == '\\') below.pop_back();
  out.strBelowMount = below;
  return true;
}
