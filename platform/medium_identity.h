#pragma once
// The file system a place lies on, as the system tells it and as a catalog
// records it of the medium it was made from.

#include <cstdint>
#include <string>

struct CMediumIdentity {
  // The file system's UUID on Linux, the volume serial on Windows (FAT and
  // exFAT serials as 8 hex digits without a dash on both); "fsid:" and 16
  // hex digits where only the kernel's file system id, folded from the
  // UUID, could be read; empty when the medium has none that lasts (tmpfs,
  // some network shares) or none could be read.
  std::string strId;
  std::string strFileSystem;  // "ext4", "vfat", "NTFS", ...
  std::string strVolumeLabel;
  std::uint64_t nTotalBytes = 0;
  // The base path below the root of the file system that holds it, as real
  // bytes ("" when the base path is that root). Tells a medium from the
  // empty folder left where it was mounted.
  std::string strBelowMount;
  // What gave strId: "blkid" (the device read), "udev" (its links),
  // "ioctl" (the mounted file system asked), "fsid", "serial" (Windows).
  std::string strIdSource;

  bool operator==(const CMediumIdentity& other) const {
    return strId == other.strId && strIdSource == other.strIdSource && strFileSystem == other.strFileSystem &&
           strVolumeLabel == other.strVolumeLabel && nTotalBytes == other.nTotalBytes &&
           strBelowMount == other.strBelowMount;
  }
  bool operator!=(const CMediumIdentity& other) const { return !(*this == other); }
};
