#pragma once
// Which folder an open descriptor refers to, so that a walk can tell a folder
// it is already inside (a link loop) and notice one replaced meanwhile.

#include <cstdint>
#include <utility>

// The volume (device, numbered as CDirEntry::nDevice is) and the file's
// number on it.
using CFolderId = std::pair<std::uint64_t, std::uint64_t>;

// False when the descriptor cannot be asked.
bool ReadFolderId(int fd, CFolderId& out);

// Whether the open folder is on a file system that describes the running
// system rather than holds files (proc, sysfs and the like): never walked,
// whatever the options.
bool IsVirtualFileSystem(int fd);
