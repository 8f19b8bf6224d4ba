#pragma once
// Folder descriptors on Windows are the folders' own handles (the C
// runtime's descriptors cost a system round each under Wine), and the volume
// of each open folder is kept from the one it was opened in: asking a handle
// for its volume is the costly part of its identity.

#include <cstdint>

#include <windows.h>

inline HANDLE FolderHandleOf(int fd) { return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(intptr_t(fd)); }

// The volume serial number kept for an open folder; false when none is.
bool KnownFolderVolume(HANDLE folder, std::uint64_t& volume);
void KeepFolderVolume(HANDLE folder, std::uint64_t volume);
