// What the Linux and Windows copies share: the names of their folders and
// which of them are stale.
#include <cstdlib>

#include "platform/private_copy.h"
#include "platform/process_running.h"

std::string CopyFolderName(std::int64_t pid, unsigned serial) {
  return std::to_string(pid) + "-" + std::to_string(serial);
}

std::int64_t CopyFolderOwner(const std::string& name) {
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string::npos || dash + 1 == name.size() || dash > 18) return 0;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (i != dash && (name[i] < '0' || name[i] > '9')) return 0;
  return std::atoll(name.c_str());
}

void RemoveOwnCopies(const std::string& area) {
  const std::int64_t self = CurrentProcessId();
  RemoveCopyFolders(area, [self](std::int64_t owner) { return owner == self; });
}

void RemoveStaleCopies(const std::string& area) {
  const std::int64_t self = CurrentProcessId();
  RemoveCopyFolders(area, [self](std::int64_t owner) { return owner == self || !IsProcessRunning(owner); });
}
