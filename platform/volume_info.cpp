#include "platform/volume_info.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>
#include <cstring>

std::string ReadMachineName() {
  char name[HOST_NAME_MAX + 1];
  if (gethostname(name, sizeof name) != 0) return {};
  name[HOST_NAME_MAX] = '\0';  // truncated names need not be terminated
  return name;
}

bool ReadDiskSpace(const std::string& path, std::uint64_t& freeBytes, std::uint64_t& totalBytes) {
  freeBytes = 0;
  totalBytes = 0;
  struct statvfs info;
  if (path.empty() || statvfs(path.c_str(), &info) != 0) return false;
  freeBytes = std::uint64_t(info.f_bavail) * info.f_frsize;
  totalBytes = std::uint64_t(info.f_blocks) * info.f_frsize;
  return true;
}
