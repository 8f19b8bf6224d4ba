#pragma once
// Which folder an open descriptor refers to, so that a walk can tell a folder
// it is already inside (a link loop) and notice one replaced meanwhile.

#include <cstdint>
#include <utility>

// The volume (device) and the file's number on it.
using CFolderId = std::pair<std::uint64_t, std::uint64_t>;

// False when the descriptor cannot be asked.
bool ReadFolderId(int fd, CFolderId& out);
