#include "platform/folder_id.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include "platform/media_type.h"

namespace {

std::uint64_t DeviceId(dev_t device) { return (std::uint64_t(major(device)) << 32) | minor(device); }

}  // namespace

bool ReadFolderId(int fd, CFolderId& out) {
  struct stat status;
  if (fstat(fd, &status) != 0) return false;
  out = {DeviceId(status.st_dev), status.st_ino};
  return true;
}

bool IsVirtualFileSystem(int fd) {
  struct statfs info;
  if (fstatfs(fd, &info) != 0) return false;
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x1cd1:      // devpts
    case 0x27e0eb:    // cgroup
    case 0x63677270:  // cgroup2
    case 0x64626720:  // debugfs
    case 0x74726163:  // tracefs
    case 0x73636673:  // securityfs
    case 0x6165676c:  // pstore
    case 0xcafe4a11:  // bpf
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
    case 0x19800202:  // mqueue
    case 0x958458f6:  // hugetlbfs
    case 0x0187:      // autofs
    case 0x42494e4d:  // binfmt_misc
    case 0xde5e81e4:  // efivarfs
      return true;
    case 0x01021994:  // tmpfs, and devtmpfs, which only the mount table tells apart
      return FileSystemTypeOf(fd) == "devtmpfs";
  }
  return false;
}
