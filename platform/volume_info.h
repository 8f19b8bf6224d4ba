#pragma once
// Facts about the machine and the volume a catalog is made on.

#include <cstdint>
#include <string>

// The host name, or empty when it cannot be read.
std::string ReadMachineName();

// Bytes free to the caller and total bytes of the file system holding path;
// false (both zero) when it cannot be asked.
bool ReadDiskSpace(const std::string& path, std::uint64_t& freeBytes, std::uint64_t& totalBytes);
