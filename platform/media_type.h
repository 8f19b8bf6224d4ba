#pragma once
// The kind of medium a path lives on, as the text a catalog records.

#include <string>
#include <vector>

#include "platform/medium_identity.h"

inline constexpr const char kMediaFloppy[] = "フロッピーディスク";
inline constexpr const char kMediaHardDisk[] = "ハードディスク";
inline constexpr const char kMediaTape[] = "テープ";
inline constexpr const char kMediaMagnetoOptical[] = "MO ディスク";
inline constexpr const char kMediaRemovable[] = "リムーバブル・ディスク";
inline constexpr const char kMediaFixed[] = "固定ディスク";
inline constexpr const char kMediaNetwork[] = "ネットワーク・ドライブ";
inline constexpr const char kMediaCdRom[] = "CD-ROM";
inline constexpr const char kMediaRamDisk[] = "RAM ディスク";
inline constexpr const char kMediaUnknown[] = "不明なメディアタイプ";
// A catalog imported from a list: no medium was read.
inline constexpr const char kMediaImported[] = "インポート";

// Where the mount table and the device tree are read from; tests point them
// at small fake trees.
struct CMediaRoots {
  std::string strMountInfo = "/proc/self/mountinfo";
  std::string strSysRoot = "/sys";
  std::string strByLabel = "/dev/disk/by-label";
  std::string strByUuid = "/dev/disk/by-uuid";
  // Tests turn the device probe off to read a medium as a user who may
  // not open the device.
  bool bProbeDevices = true;
};

// The media type of the mount holding path (an absolute path, matched
// lexically against the mount points): always one of the texts above.
std::string MediaTypeOf(const std::string& path, const CMediaRoots& roots = CMediaRoots());

// The file system type of the mount holding the open descriptor fd, as the
// mount table names it; empty when it cannot be told.
std::string FileSystemTypeOf(int fd, const CMediaRoots& roots = CMediaRoots());

// The label of the file system mounted exactly at path (an absolute path),
// found by its source device among the links of the by-label folder; empty
// when path is no mount point or its file system has no label.
std::string VolumeLabelOf(const std::string& path, const CMediaRoots& roots = CMediaRoots());

// Which file system holds path (an existing folder) and where path lies in
// it: its identity and label, the type and the total size. The identity is
// read the way the caller may: the device's superblock where the device can
// be opened; udev's links; the mounted file system itself (its UUID and
// label, or its FAT serial); the kernel's fsid where it is folded from the
// UUID. strIdSource says which. False when path is not found among the
// mounts.
bool ReadMediumIdentity(const std::string& path, CMediumIdentity& out, const CMediaRoots& roots = CMediaRoots());

// Every mount point, in table order without repeats (on Windows, each drive
// that holds a medium): what a newly connected medium is told from.
std::vector<std::string> MountPoints(const CMediaRoots& roots = CMediaRoots());

// Mount points of removable media: mounts on a removable disk, and those
// below /media or /run/media, where the desktop mounts them. In table order.
std::vector<std::string> RemovableMountPoints(const CMediaRoots& roots = CMediaRoots());
