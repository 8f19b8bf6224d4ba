#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

CAtomicFile::CAtomicFile(const std::string& target) : m_strTarget(target) {
  if (char* real = ::realpath(target.c_str(), nullptr)) {
    m_strTarget = real;
    std::free(real);
  }
}

CAtomicFile::~CAtomicFile() {
  if (m_fd >= 0) ::close(m_fd);
  if (!m_strTemp.empty() && !m_bCommitted) ::unlink(m_strTemp.c_str());
}

int CAtomicFile::Open() {
  std::string temp = m_strTarget + ".XXXXXX";
  m_fd = ::mkstemp(temp.data());
  if (m_fd < 0) return -1;
  m_strTemp = std::move(temp);
  struct stat old {};
  mode_t mode = 0;
  if (::stat(m_strTarget.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(m_fd, mode);
  return m_fd;
}

int CAtomicFile::Commit() {
  if (m_fd < 0) return EBADF;
  int error = 0;
  if (::fsync(m_fd) != 0) error = errno;
  if (::close(m_fd) != 0 && error == 0) error = errno;
  m_fd = -1;
  if (error == 0 && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) error = errno;
  if (error != 0) return error;
  m_bCommitted = true;
  // Make the rename itself durable.
  const std::size_t slash = m_strTarget.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : m_strTarget.substr(0, slash));
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return 0;
}
