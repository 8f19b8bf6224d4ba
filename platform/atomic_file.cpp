#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/process_running.h"

namespace {

constexpr char kTempMark[] = ".quarrix-tmp-";
// Room left in a 255-byte name for the mark, a process id and the random part.
constexpr std::size_t kMaxNamePart = 255 - 1 - (sizeof kTempMark - 1) - 10 - 1 - 8;

void Step(CAtomicFile::EStep step) {
  if (CAtomicFile::s_pfnStepHook) CAtomicFile::s_pfnStepHook(step);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// As the kernel would decide for writing in place. A privileged user passes
// every permission check, but a file that grants nobody writing is read-only
// to them too.
bool MayWrite(const std::string& path, const struct stat& st) {
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return false;
  return ::geteuid() != 0 || (st.st_mode & 0222) != 0;
}

// Takes fd's lock, trying again every 50 ms rather than waiting in flock:
// neither a signal's flag nor another thread's cancel could end that wait.
bool LockPolling(int fd, const std::function<void()>& waiting, const std::atomic<bool>* cancel, bool& told) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (!told && waiting) waiting();
    told = true;
    if (cancel != nullptr && cancel->load()) return false;
    const timespec pause = {0, 50 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
  }
  return true;
}

}  // namespace

void (*CAtomicFile::s_pfnStepHook)(EStep) = nullptr;
bool CAtomicFile::s_bNoAnonymousFiles = false;
bool CAtomicFile::s_bNoRenameNoReplace = false;

CAtomicFile::CAtomicFile(const std::string& target, EMode mode) : m_strTarget(target), m_eMode(mode) {
  if (char* real = ::realpath(target.c_str(), nullptr)) {
    m_strTarget = real;
    std::free(real);
  }
  const std::size_t slash = m_strTarget.rfind('/');
  m_strName = slash == std::string::npos ? m_strTarget : m_strTarget.substr(slash + 1);
}

CAtomicFile::~CAtomicFile() {
  if (m_fd >= 0) ::close(m_fd);
  if (!m_strTempName.empty() && !m_bCommitted) ::unlinkat(m_dirFd, m_strTempName.c_str(), 0);
  if (m_dirFd >= 0) ::close(m_dirFd);
}

std::string CAtomicFile::TempPrefix() const { return "." + m_strName.substr(0, kMaxNamePart) + kTempMark; }

// Temporaries of this target whose save is over: their process is gone and
// nobody holds their lock.
void CAtomicFile::RemoveStaleTemporaries() const {
  const int listFd = ::dup(m_dirFd);
  if (listFd < 0) return;
  DIR* dir = ::fdopendir(listFd);
  if (dir == nullptr) {
    ::close(listFd);
    return;
  }
  const std::string prefix = TempPrefix();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    if (IsProcessRunning(std::atol(name.c_str() + prefix.size()))) continue;
    const int fd = ::openat(m_dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) continue;
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(m_dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev)
      ::unlinkat(m_dirFd, name.c_str(), 0);
    ::close(fd);
  }
  ::closedir(dir);
}

int CAtomicFile::Open() {
  struct stat old {};
  const bool exists = ::stat(m_strTarget.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return errno;
  struct stat link {};
  if (!exists && ::lstat(m_strTarget.c_str(), &link) == 0) return m_eMode == CREATE_ONLY ? EEXIST : BROKEN_LINK;
  if (exists && m_eMode == CREATE_ONLY) return EEXIST;
  if (exists && !S_ISREG(old.st_mode)) return NOT_REGULAR;
  if (exists && !MayWrite(m_strTarget, old)) return EACCES;
  m_dirFd = ::open(FolderOf(m_strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_dirFd < 0) return errno;
  RemoveStaleTemporaries();

  // A new file's mode is left to the kernel: asking the umask would change
  // it for an instant under the other threads' feet.
  const mode_t createMode = exists ? 0600 : 0666;
  if (!s_bNoAnonymousFiles) m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode);
  if (m_fd < 0) {
    // Kernels and file systems without anonymous files answer with one of these.
    if (!s_bNoAnonymousFiles && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
      char suffix[32];
      std::snprintf(suffix, sizeof suffix, "%d-%08x", int(::getpid()), unsigned(random()));
      const std::string name = TempPrefix() + suffix;
      m_fd = ::openat(m_dirFd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, createMode);
      if (m_fd >= 0)
        m_strTempName = name;
      else if (errno != EEXIST)
        return errno;
    }
    if (m_fd < 0) return EIO;  // not EEXIST, which would speak of the target
  }
  // Nobody else can hold it yet: it is ours until committed or removed.
  ::flock(m_fd, LOCK_EX | LOCK_NB);

  if (exists) {
    // Keeping the owner needs privilege; the group is often ours to keep.
    if (::fchown(m_fd, old.st_uid, old.st_gid) != 0) (void)::fchown(m_fd, uid_t(-1), old.st_gid);
    ::fchmod(m_fd, old.st_mode & 07777);
  }
  return 0;
}

// Gives the anonymous file a name of ours beside the target.
int CAtomicFile::LinkAnonymous() {
  std::random_device random;
  const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%d-%08x", int(::getpid()), unsigned(random()));
    const std::string name = TempPrefix() + suffix;
    // Through /proc any user may link it; without /proc, only a privileged one.
    int result = ::linkat(AT_FDCWD, self.c_str(), m_dirFd, name.c_str(), AT_SYMLINK_FOLLOW);
    if (result != 0 && errno == ENOENT) result = ::linkat(m_fd, "", m_dirFd, name.c_str(), AT_EMPTY_PATH);
    if (result == 0) {
      m_strTempName = name;
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EIO;
}

// Puts the named temporary file in place only where nothing stands: a rename
// that refuses to replace, or where the file system has none, a second link,
// which refuses as well. Where it has neither, a last look before the rename
// leaves only a moment's window.
int CAtomicFile::PlaceWithoutReplacing() {
  const char* temp = m_strTempName.c_str();
  const char* name = m_strName.c_str();
  if (!s_bNoRenameNoReplace && ::renameat2(m_dirFd, temp, m_dirFd, name, RENAME_NOREPLACE) == 0) return 0;
  if (!s_bNoRenameNoReplace && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  if (::linkat(m_dirFd, temp, m_dirFd, name, 0) == 0) {
    ::unlinkat(m_dirFd, temp, 0);
    return 0;
  }
  if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK) return errno;
  struct stat st {};
  if (::fstatat(m_dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
  return ::renameat(m_dirFd, temp, m_dirFd, name) == 0 ? 0 : errno;
}

int CAtomicFile::Commit() {
  if (m_fd < 0) return EBADF;
  Step(STEP_WRITTEN);
  if (::fsync(m_fd) != 0) return errno;
  Step(STEP_SYNCED);
  if (m_strTempName.empty()) {
    if (const int error = LinkAnonymous(); error != 0) return error;
  }
  Step(STEP_LINKED);
  if (m_eMode == CREATE_ONLY) {
    if (const int error = PlaceWithoutReplacing(); error != 0) return error;
  } else if (::renameat(m_dirFd, m_strTempName.c_str(), m_dirFd, m_strName.c_str()) != 0) {
    return errno;
  }
  m_bCommitted = true;
  Step(STEP_RENAMED);
  // Makes the rename itself durable.
  ::fsync(m_dirFd);
  Step(STEP_FOLDER_SYNCED);
  ::close(m_fd);
  m_fd = -1;
  return 0;
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !MayWrite(path, st);
}

bool GetFileIdentity(const std::string& path, CFileIdentity& out) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  out.dev = st.st_dev;
  out.ino = st.st_ino;
  out.size = st.st_size;
  out.mtime = st.st_mtim;
  return true;
}

CReplaceLock::~CReplaceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

bool CReplaceLock::Acquire(const std::string& path, const std::function<void()>& waiting,
                           const std::atomic<bool>* cancel) {
  bool told = false;
  while (true) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    const bool missing = fd < 0 && errno == ENOENT;
    if (missing) fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat held {};
    if (::fstat(fd, &held) != 0 || (!missing && !S_ISREG(held.st_mode)) || !LockPolling(fd, waiting, cancel, told)) {
      ::close(fd);
      return false;
    }
    // A save may have replaced the file (or made it) while we waited: the
    // lock must be on what is there now.
    struct stat now {};
    const bool exists = ::stat(path.c_str(), &now) == 0;
    if (missing ? !exists : (exists && now.st_dev == held.st_dev && now.st_ino == held.st_ino)) {
      m_fd = fd;
      return true;
    }
    ::close(fd);
  }
}
