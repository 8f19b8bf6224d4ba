#include "model/media_type.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct CMount {
  std::string strDevice;  // "major:minor"
  std::string strMountPoint;
  std::string strFsType;
  std::string strSource;
};

// Mount points escape space, tab, newline and backslash as \ooo.
std::string Unescape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' &&
        text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0' && text[i + 3] <= '7') {
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
  out.strDevice = fields[2];
  out.strMountPoint = Unescape(fields[4]);
  out.strFsType = *(dash + 1);
  out.strSource = Unescape(*(dash + 2));
  return true;
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
  if (IsOneOf(fsType, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "fuse.sshfs", "afs", "ceph", "glusterfs",
                       "davfs"}))
    return kMediaNetwork;
  if (IsOneOf(fsType, {"tmpfs", "ramfs"})) return kMediaRamDisk;
  if (!disk.empty()) return ReadFirstLine(disk / "removable") == "1" ? kMediaRemovable : kMediaFixed;
  return kMediaUnknown;
}
