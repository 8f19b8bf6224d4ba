#pragma once
// When an entry's inode last changed: set when it was made, renamed or moved
// in, and never by tools that set file times, so it tells entries that came
// into a folder after a moment from those that were there before.

#include <cstdint>
#include <string>

// The change time of the entry name inside the open folder dirFd, in 100 ns
// units since 1601; false where the system does not keep one.
bool ReadChangeTime(int dirFd, const std::string& name, std::uint64_t& fileTime);
