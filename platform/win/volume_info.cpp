#include "platform/volume_info.h"

#include "platform/win/win_text.h"

#include <windows.h>

std::string ReadMachineName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return Utf8FromWide(std::wstring_view(name, size));
}

bool ReadDiskSpace(const std::string& path, std::uint64_t& freeBytes, std::uint64_t& totalBytes) {
  freeBytes = 0;
  totalBytes = 0;
  ULARGE_INTEGER available, total;
  if (path.empty() || !GetDiskFreeSpaceExW(WidePath(path).c_str(), &available, &total, nullptr)) return false;
  freeBytes = available.QuadPart;
  totalBytes = total.QuadPart;
  return true;
}
