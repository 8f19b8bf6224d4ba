#include "platform/private_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <vector>

#include "platform/process_running.h"

namespace {

// Our folders hold one file; deeper trees are not ours to walk far.
constexpr int kMaxRemoveDepth = 4;

// The area, opened without following a link at its name; made when absent
// and make is set. Only a folder of this user is taken, and made private
// when it is not. The descriptor, or -errno.
int OpenArea(const std::string& area, bool make) {
  if (make && ::mkdir(area.c_str(), 0700) != 0 && errno != EEXIST) return -errno;
  const int fd = ::open(area.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -errno;
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid() ||
      ((status.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0)) {
    ::close(fd);
    return -EACCES;
  }
  return fd;
}

// Removes name below parentFd and, when it is a folder, what it holds;
// links are removed, never followed.
void RemoveTreeAt(int parentFd, const std::string& name, int depth) {
  if (::unlinkat(parentFd, name.c_str(), 0) == 0 || (errno != EISDIR && errno != EPERM)) return;
  const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string child = entry->d_name;
    if (child != "." && child != "..") names.push_back(child);
  }
  for (const std::string& child : names)
    if (depth < kMaxRemoveDepth)
      RemoveTreeAt(fd, child, depth + 1);
    else
      ::unlinkat(fd, child.c_str(), 0);
  ::closedir(dir);
  ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
}

}  // namespace

void RemoveCopyFolders(const std::string& area, const std::function<bool(std::int64_t owner)>& remove) {
  const int areaFd = OpenArea(area, false);
  if (areaFd < 0) return;
  const int listFd = ::dup(areaFd);
  DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
  if (dir == nullptr) {
    if (listFd >= 0) ::close(listFd);
    ::close(areaFd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir))
    if (const std::int64_t owner = CopyFolderOwner(entry->d_name); owner != 0 && remove(owner))
      names.push_back(entry->d_name);
  ::closedir(dir);
  for (const std::string& name : names) RemoveTreeAt(areaFd, name, 0);
  ::close(areaFd);
}

CPrivateCopy::~CPrivateCopy() {
  if (!m_bKept) Remove();
  if (m_fd >= 0) ::close(m_fd);
  if (m_folderFd >= 0) ::close(m_folderFd);
  if (m_areaFd >= 0) ::close(m_areaFd);
}

int CPrivateCopy::Create(const std::string& area, const std::string& name) {
  if (m_areaFd >= 0) return EBUSY;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return EINVAL;
  m_areaFd = OpenArea(area, true);
  if (m_areaFd < 0) {
    const int error = -m_areaFd;
    m_areaFd = -1;
    return error;
  }
  static std::atomic<unsigned> s_nCopies{0};
  for (int attempt = 0; m_folderFd < 0; ++attempt) {
    const std::string folder = CopyFolderName(CurrentProcessId(), ++s_nCopies);
    if (::mkdirat(m_areaFd, folder.c_str(), 0700) != 0) {
      if (errno != EEXIST || attempt == 1000) return errno;
      continue;  // a folder a program of the same id left
    }
    m_strFolder = folder;
    m_folderFd = ::openat(m_areaFd, folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_folderFd < 0) return errno;
  }
  m_fd = ::openat(m_folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
  if (m_fd < 0) return errno;
  m_strArea = area;
  m_strPath = area + "/" + m_strFolder + "/" + name;
  return 0;
}

bool CPrivateCopy::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(m_fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= std::size_t(written);
  }
  return true;
}

int CPrivateCopy::Close() {
  if (m_fd < 0) return EBADF;
  const int result = ::close(m_fd);
  m_fd = -1;
  return result == 0 ? 0 : errno;
}

void CPrivateCopy::Remove() {
  if (m_areaFd < 0 || m_strFolder.empty()) return;
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  RemoveTreeAt(m_areaFd, m_strFolder, 0);
}

std::string DefaultCopyArea() {
  const char* temp = std::getenv("TMPDIR");
  const std::string base = temp != nullptr && temp[0] == '/' ? temp : "/tmp";
  return base + "/quarrix-members-" + std::to_string(::geteuid());
}
