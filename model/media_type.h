#pragma once
// The kind of medium a path lives on, as the text a catalog records.

#include <string>

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

// Where the mount table and the device tree are read from; tests point them
// at small fake trees.
struct CMediaRoots {
  std::string strMountInfo = "/proc/self/mountinfo";
  std::string strSysRoot = "/sys";
};

// The media type of the mount holding path (an absolute path, matched
// lexically against the mount points): always one of the texts above.
std::string MediaTypeOf(const std::string& path, const CMediaRoots& roots = CMediaRoots());
