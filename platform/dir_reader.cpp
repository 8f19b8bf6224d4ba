#include "platform/dir_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>

#include "platform/file_time.h"
#include "platform/real_name.h"
#include "platform/scan_counts.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;
// Large enough that most folders are read in one call.
constexpr std::size_t kDirBufferSize = 64 * 1024;

std::uint64_t FileTimeOf(const struct statx_timestamp& t) { return UnixToFileTime(t.tv_sec, t.tv_nsec); }

bool IsSpecialFile(unsigned mode) { return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode); }

// The record of an entry from the status whose facts it takes (a link's
// own, or those of what it leads to).
void FillRecord(const std::string& rawName, const struct statx& facts, CFindData& out) {
  const unsigned mode = facts.stx_mode;
  std::uint32_t attributes = S_ISDIR(mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if ((mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!rawName.empty() && rawName[0] == '.') attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (IsSpecialFile(mode)) attributes |= FILE_ATTRIBUTE_SYSTEM;
  if (S_ISLNK(mode)) attributes |= FILE_ATTRIBUTE_REPARSE_POINT;

  out.dwFileAttributes = attributes;
  out.ftLastAccessTime = FileTimeOf(facts.stx_atime);
  out.ftLastWriteTime = FileTimeOf(facts.stx_mtime);
  out.ftCreationTime = (facts.stx_mask & STATX_BTIME) != 0 ? FileTimeOf(facts.stx_btime) : out.ftLastWriteTime;
  // A link's own size is that of the path it holds.
  out.SetSize(S_ISREG(mode) || S_ISLNK(mode) ? facts.stx_size : 0);
  out.dwReserved0 = 0;
  out.dwReserved1 = 0;
  out.cFileName = ItemNameOf(rawName);
  out.cAlternateFileName.clear();
}

void FillPlace(const struct statx& facts, CDirEntry& out) {
  out.nDevice = (std::uint64_t(facts.stx_dev_major) << 32) | facts.stx_dev_minor;
  out.nInode = facts.stx_ino;
  out.bMountRoot = (facts.stx_attributes_mask & facts.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
}

// Looks name up inside dirFd. A symbolic link is taken as the folder it
// leads to when followFolders is set, else as itself: its own facts, never
// the target's, so that nothing reads through it and it passes for no copy
// of its target. Returns 1 with the entry, 0 when it is gone, -1 when it
// exists but its status cannot be read.
int StatEntry(int dirFd, const std::string& name, CDirEntry& out, bool followFolders) {
  struct statx self;
  if (statx(dirFd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask, &self) != 0)
    return errno == ENOENT ? 0 : -1;
  if (!S_ISLNK(self.stx_mode)) {
    FillRecord(name, self, out.record);
    FillPlace(self, out);
    out.bSpecial = !S_ISREG(self.stx_mode) && !S_ISDIR(self.stx_mode);
    return 1;
  }
  struct statx target;
  const bool folder = statx(dirFd, name.c_str(), AT_NO_AUTOMOUNT, kStatxMask, &target) == 0 && S_ISDIR(target.stx_mode);
  if (folder && followFolders) {
    FillRecord(name, target, out.record);
    out.record.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    FillPlace(target, out);
    return 1;
  }
  FillRecord(name, self, out.record);
  FillPlace(self, out);
  out.bLink = true;
  if (folder) {
    // Still a folder item, as the walk leaves it: without children.
    out.record.dwFileAttributes = (out.record.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE) | FILE_ATTRIBUTE_DIRECTORY;
    out.record.SetSize(0);
  }
  return 1;
}

// What the directory entry's type says, for an entry whose status cannot be
// read (a folder readable but not searchable): better a bare record than none.
void FillFromType(const std::string& rawName, unsigned char type, CDirEntry& out) {
  CFindData& record = out.record;
  record = CFindData();
  record.dwFileAttributes = type == DT_DIR ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (rawName[0] == '.') record.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  out.bLink = type == DT_LNK;
  if (out.bLink) record.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  out.bSpecial = type == DT_CHR || type == DT_BLK || type == DT_FIFO || type == DT_SOCK;
  if (out.bSpecial) record.dwFileAttributes |= FILE_ATTRIBUTE_SYSTEM;
  record.cFileName = ItemNameOf(rawName);
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Soft limits past this gain a walk nothing and may trouble code that still
// uses select().
constexpr rlim_t kDescriptorLimitWanted = 65536;

}  // namespace

int OpenDescriptorLimit() {
  struct rlimit limits;
  if (getrlimit(RLIMIT_NOFILE, &limits) != 0) return 1024;
  const rlim_t wanted = std::min(limits.rlim_max, kDescriptorLimitWanted);
  if (limits.rlim_cur < wanted) {
    struct rlimit raised = limits;
    raised.rlim_cur = wanted;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limits = raised;
  }
  return int(std::min<rlim_t>(limits.rlim_cur, INT_MAX));
}

int OpenFolderPath(const std::string& path) {
  if (path.size() < PATH_MAX) {
    const int fd = open(path.c_str(), kFolderFlags);
    if (fd >= 0 || errno != ENAMETOOLONG) return fd;
  }
  // Too long for one call: open each component relative to the last one.
  int current = path.size() > 0 && path[0] == '/' ? open("/", kFolderFlags) : open(".", kFolderFlags);
  std::size_t pos = 0;
  while (current >= 0 && pos < path.size()) {
    const std::size_t end = std::min(path.find('/', pos), path.size());
    if (end > pos) {
      const std::string component = path.substr(pos, end - pos);
      const int next = openat(current, component.c_str(), kFolderFlags);
      const int saved = errno;
      close(current);
      errno = saved;
      current = next;
    }
    pos = end + 1;
  }
  return current;
}

int CFolderLister::OpenFolder(int dirFd, const std::string& name, bool follow) {
  if (dirFd == AT_FDCWD) return OpenFolderPath(name);
  return openat(dirFd, name.c_str(), kFolderFlags | (follow ? 0 : O_NOFOLLOW));
}

void CFolderLister::CloseFolder(int fd) { close(fd); }

bool CFolderLister::ReadEntries(int fd, std::vector<CDirEntry>& out) {
  std::unique_ptr<char[]> buffer(new char[kDirBufferSize]);
  CPendingCounts counts(m_pProgress);
  for (;;) {
    const ssize_t count = getdents64(fd, buffer.get(), kDirBufferSize);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return count == 0;
    for (ssize_t offset = 0; offset < count;) {
      const auto* entry = reinterpret_cast<const struct dirent64*>(buffer.get() + offset);
      offset += entry->d_reclen;
      if (IsDotOrDotDot(entry->d_name)) continue;
      if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) return true;
      CDirEntry item;
      item.strRawName = entry->d_name;
      const int found = StatEntry(fd, item.strRawName, item, m_bFollowFolderLinks);
      if (found == 0) continue;
      if (found < 0) {
        FillFromType(item.strRawName, entry->d_type, item);
        item.bUnreadable = true;
      }
      counts.Add((item.record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, item.record.Size());
      out.push_back(std::move(item));
    }
  }
}

bool ReadEntryRecord(int dirFd, const std::string& name, CFindData& out) {
  CDirEntry entry;
  if (!ReadEntry(dirFd, name, entry)) return false;
  out = std::move(entry.record);
  return true;
}

bool ReadEntry(int dirFd, const std::string& name, CDirEntry& out) {
  out = CDirEntry();
  out.strRawName = name;
  return StatEntry(dirFd, name, out, true) == 1;
}

bool ReadPathEntry(const std::string& path, CDirEntry& out) { return LookUpPathEntry(path, out) == EPathLookup::Found; }

EPathLookup LookUpPathEntry(const std::string& path, CDirEntry& out) {
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return EPathLookup::Missing;
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  if (folder.empty()) folder = "/";
  const int fd = OpenFolderPath(folder);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? EPathLookup::Missing : EPathLookup::Unreadable;
  out = CDirEntry();
  out.strRawName = name;
  const int found = StatEntry(fd, name, out, true);
  close(fd);
  return found == 1 ? EPathLookup::Found : found == 0 ? EPathLookup::Missing : EPathLookup::Unreadable;
}

bool ReadPathRecord(const std::string& path, CFindData& out) {
  CDirEntry entry;
  if (!ReadPathEntry(path, entry)) return false;
  out = std::move(entry.record);
  return true;
}
