#include "platform/media_type.h"

#include <blkid.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <vector>

#include "platform/volume_info.h"

namespace fs = std::filesystem;

namespace {

struct CMount {
  std::string strId;
  std::string strDevice;  // "major:minor"
  std::string strRoot;    // the folder of the file system mounted there
  std::string strMountPoint;
  std::string strFsType;
  std::string strSource;
};

// Mount points escape space, tab, newline and backslash as \ooo.
std::string Unescape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' && text[i + 2] >= '0' &&
        text[i + 2] <= '7' && text[i + 3] >= '0' && text[i + 3] <= '7') {
      out += char((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0'));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool ParseMountLine(const std::string& line, CMount& out) {
  std::istringstream in(line);
  std::vector<std::string> fields;
  for (std::string field; in >> field;) fields.push_back(field);
  // id, parent, major:minor, root, mount point, options, optional fields, "-",
  // file system type, source, super options.
  const auto dash = std::find(fields.begin(), fields.end(), "-");
  if (fields.size() < 7 || dash - fields.begin() < 6 || fields.end() - dash < 3) return false;
  out.strId = fields[0];
  out.strDevice = fields[2];
  out.strRoot = Unescape(fields[3]);
  out.strMountPoint = Unescape(fields[4]);
  out.strFsType = *(dash + 1);
  out.strSource = Unescape(*(dash + 2));
  return true;
}

std::vector<CMount> ReadMounts(const std::string& mountInfo) {
  std::vector<CMount> mounts;
  std::ifstream in(mountInfo);
  CMount mount;
  for (std::string line; std::getline(in, line);)
    if (ParseMountLine(line, mount)) mounts.push_back(mount);
  return mounts;
}

// by-label link names escape bytes such as spaces and slashes as \xHH.
std::string UnescapeLabel(const std::string& name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && std::isxdigit((unsigned char)name[i + 2]) &&
        std::isxdigit((unsigned char)name[i + 3])) {
      out += char(std::stoi(name.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += name[i];
    }
  }
  return out;
}

bool IsUnder(const std::string& path, const std::string& mountPoint) {
  if (mountPoint == "/") return !path.empty() && path[0] == '/';
  if (path.compare(0, mountPoint.size(), mountPoint) != 0) return false;
  return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

// The mount with the longest mount point holding path; of equal ones the
// later, which covers the earlier.
bool FindMount(const std::string& mountInfo, const std::string& path, CMount& out) {
  std::ifstream in(mountInfo);
  bool found = false;
  CMount mount;
  for (std::string line; std::getline(in, line);) {
    if (!ParseMountLine(line, mount) || !IsUnder(path, mount.strMountPoint)) continue;
    if (!found || mount.strMountPoint.size() >= out.strMountPoint.size()) {
      out = mount;
      found = true;
    }
  }
  return found;
}

std::string ReadFirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

fs::path CanonicalOrEmpty(const fs::path& path) {
  std::error_code error;
  fs::path result = fs::canonical(path, error);
  return error ? fs::path() : result;
}

// The sysfs folder of the disk behind the mount (a partition's parent), or
// empty when the mount is not on a block device.
fs::path FindDiskFolder(const CMount& mount, const fs::path& sysRoot) {
  fs::path device = CanonicalOrEmpty(sysRoot / "dev" / "block" / mount.strDevice);
  // File systems such as btrfs report a device number of their own; their
  // source still names the block device.
  if (device.empty() && mount.strSource.compare(0, 5, "/dev/") == 0) {
    fs::path source = CanonicalOrEmpty(mount.strSource);
    if (source.empty()) source = mount.strSource;
    device = CanonicalOrEmpty(sysRoot / "class" / "block" / source.filename());
  }
  if (device.empty()) return {};
  std::error_code error;
  if (fs::exists(device / "partition", error)) return device.parent_path();
  return device;
}

bool IsOneOf(const std::string& text, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* name) { return text == name; });
}

// The name of the link in folder that leads to source (udev's by-uuid and
// by-label links, readable by anyone), unescaped; empty when none does.
std::string LinkNameTo(const std::string& folder, const std::string& source) {
  if (source.empty() || source[0] != '/') return {};
  fs::path device = CanonicalOrEmpty(source);
  if (device.empty()) device = source;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (CanonicalOrEmpty(it->path()) == device) return UnescapeLabel(it->path().filename().string());
  return {};
}

}  // namespace

std::string MediaTypeOf(const std::string& path, const CMediaRoots& roots) {
  CMount mount;
  if (!FindMount(roots.strMountInfo, path, mount)) return kMediaUnknown;
  const fs::path disk = FindDiskFolder(mount, roots.strSysRoot);

  if (!disk.empty()) {
    const std::string type = ReadFirstLine(disk / "device" / "type");
    if (type == "1") return kMediaTape;
    if (type == "5") return kMediaCdRom;
    if (type == "7") return kMediaMagnetoOptical;
    if (disk.filename().string().compare(0, 2, "fd") == 0) return kMediaFloppy;
  }

  const std::string& fsType = mount.strFsType;
  if (IsOneOf(fsType, {"iso9660", "udf"})) return kMediaCdRom;
  if (IsOneOf(fsType,
              {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "fuse.sshfs", "afs", "ceph", "glusterfs", "davfs"}))
    return kMediaNetwork;
  if (IsOneOf(fsType, {"tmpfs", "ramfs"})) return kMediaRamDisk;
  if (!disk.empty()) return ReadFirstLine(disk / "removable") == "1" ? kMediaRemovable : kMediaFixed;
  return kMediaUnknown;
}

std::string FileSystemTypeOf(int fd, const CMediaRoots& roots) {
  struct statx status;
  if (statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &status) != 0 || (status.stx_mask & STATX_MNT_ID) == 0) return {};
  const std::string id = std::to_string(status.stx_mnt_id);
  for (const CMount& mount : ReadMounts(roots.strMountInfo))
    if (mount.strId == id) return mount.strFsType;
  return {};
}

std::string VolumeLabelOf(const std::string& path, const CMediaRoots& roots) {
  CMount mount;
  if (!FindMount(roots.strMountInfo, path, mount) || mount.strMountPoint != path) return {};
  return LinkNameTo(roots.strByLabel, mount.strSource);
}

std::vector<std::string> MountPoints(const CMediaRoots& roots) {
  std::vector<std::string> points;
  for (const CMount& mount : ReadMounts(roots.strMountInfo))
    if (std::find(points.begin(), points.end(), mount.strMountPoint) == points.end())
      points.push_back(mount.strMountPoint);
  return points;
}

std::vector<std::string> RemovableMountPoints(const CMediaRoots& roots) {
  std::vector<std::string> points;
  for (const CMount& mount : ReadMounts(roots.strMountInfo)) {
    bool removable = IsUnder(mount.strMountPoint, "/media") || IsUnder(mount.strMountPoint, "/run/media");
    if (!removable) {
      const fs::path disk = FindDiskFolder(mount, roots.strSysRoot);
      removable = !disk.empty() && ReadFirstLine(disk / "removable") == "1";
    }
    if (removable && mount.strMountPoint != "/media" && mount.strMountPoint != "/run/media" &&
        std::find(points.begin(), points.end(), mount.strMountPoint) == points.end())
      points.push_back(mount.strMountPoint);
  }
  return points;
}

namespace {

// The UUID and label in the superblock of the device at source; false when
// it cannot be read (no such device, no permission).
bool ProbeDevice(const std::string& source, std::string& uuid, std::string& label) {
  blkid_probe probe = blkid_new_probe_from_filename(source.c_str());
  if (probe == nullptr) return false;
  blkid_probe_enable_superblocks(probe, 1);
  blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_UUID | BLKID_SUBLKS_LABEL);
  const bool found = blkid_do_safeprobe(probe) == 0;
  const char* value = nullptr;
  if (found && blkid_probe_lookup_value(probe, "UUID", &value, nullptr) == 0) uuid = value;
  if (found && blkid_probe_lookup_value(probe, "LABEL", &value, nullptr) == 0) label = value;
  blkid_free_probe(probe);
  return found;
}

bool IsFatFamily(const std::string& type) { return IsOneOf(type, {"vfat", "msdos", "fat", "exfat"}); }

// File systems whose UUID is written when they are made and kept on the
// medium; others (tmpfs) make one up for each mount.
bool KeepsItsUuid(const std::string& type) { return IsOneOf(type, {"ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs"}); }

// The kernel folds these file systems' UUIDs into the fsid that statfs
// gives anyone; others number it after the device, which moves.
bool FsidFromUuid(const std::string& type) { return IsOneOf(type, {"ext2", "ext3", "ext4", "btrfs"}); }

// Newer kernels answer these for an open folder of the file system, with
// no privilege; older headers lack the UUID one.
struct CFsUuid {
  std::uint8_t nLength;
  std::uint8_t aBytes[16];
};
constexpr unsigned long kGetFsUuid = _IOR(0x15, 0, CFsUuid);

std::string UuidText(const std::uint8_t* bytes) {
  char text[37];
  std::snprintf(text, sizeof text, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", bytes[0],
                bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9], bytes[10],
                bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
  return text;
}

// The identity and label the mounted file system gives through a folder
// of it that can be opened.
void AskFileSystem(const std::string& folder, const std::string& type, std::string& id, std::string& label) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  CFsUuid uuid{};
  if (id.empty() && KeepsItsUuid(type) && ioctl(fd, kGetFsUuid, &uuid) == 0 && uuid.nLength == 16)
    id = UuidText(uuid.aBytes);
  std::uint32_t serial = 0;
  if (id.empty() && type == "vfat" && ioctl(fd, FAT_IOCTL_GET_VOLUME_ID, &serial) == 0) {
    char text[10];
    std::snprintf(text, sizeof text, "%04X-%04X", unsigned(serial >> 16), unsigned(serial & 0xFFFF));
    id = text;
  }
  char name[FSLABEL_MAX + 1] = {};
  if (label.empty() && ioctl(fd, FS_IOC_GETFSLABEL, name) == 0) label.assign(name, strnlen(name, FSLABEL_MAX));
  close(fd);
}

std::string FsidText(const std::string& path) {
  struct statfs info;
  if (statfs(path.c_str(), &info) != 0) return {};
  std::uint32_t words[2];
  static_assert(sizeof words == sizeof info.f_fsid);
  std::memcpy(words, &info.f_fsid, sizeof words);
  if (words[0] == 0 && words[1] == 0) return {};
  char text[22];
  std::snprintf(text, sizeof text, "fsid:%08x%08x", unsigned(words[1]), unsigned(words[0]));
  return text;
}

}  // namespace

bool ReadMediumIdentity(const std::string& path, CMediumIdentity& out, const CMediaRoots& roots) {
  out = CMediumIdentity();
  const fs::path real = CanonicalOrEmpty(path);
  CMount mount;
  if (real.empty() || !FindMount(roots.strMountInfo, real.string(), mount)) return false;
  out.strFileSystem = mount.strFsType;
  std::string below = real.string().substr(mount.strMountPoint == "/" ? 0 : mount.strMountPoint.size());
  if (mount.strRoot != "/") below.insert(0, mount.strRoot);
  out.strBelowMount = below.empty() ? "/" : below;
  std::uint64_t freeBytes = 0;
  ReadDiskSpace(real.string(), freeBytes, out.nTotalBytes);
  const bool device = mount.strSource.compare(0, 5, "/dev/") == 0;
  std::string& id = out.strId;
  if (device && roots.bProbeDevices && ProbeDevice(mount.strSource, id, out.strVolumeLabel)) {
    out.strIdSource = "blkid";
  } else {
    if (device) id = LinkNameTo(roots.strByUuid, mount.strSource);
    const char* source = id.empty() ? nullptr : "udev";
    out.strVolumeLabel = VolumeLabelOf(mount.strMountPoint, roots);
    AskFileSystem(real.string(), mount.strFsType, id, out.strVolumeLabel);
    if (source == nullptr && !id.empty()) source = "ioctl";
    if (id.empty() && FsidFromUuid(mount.strFsType)) id = FsidText(real.string());
    if (source == nullptr && !id.empty()) source = "fsid";
    if (source != nullptr) out.strIdSource = source;
  }
  // One form for FAT serials on both systems: 8 hex digits.
  if (IsFatFamily(mount.strFsType) && id.size() == 9 && id[4] == '-') id.erase(4, 1);
  if (IsFatFamily(mount.strFsType))
    for (char& c : id) c = char(std::toupper((unsigned char)c));
  return true;
}
