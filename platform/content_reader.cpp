#include "platform/content_reader.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class CFileContentReader : public CContentReader {
 public:
  ~CFileContentReader() override { Close(); }

  EContentOpen Open(const std::string& path) override {
    Close();
    // A link is never read through: what it leads to is another file, and
    // the catalog records the link itself.
    struct stat facts;
    if (::lstat(path.c_str(), &facts) != 0) return EContentOpen::Failed;
    if (!S_ISREG(facts.st_mode)) return EContentOpen::NotRegular;
    // O_NONBLOCK: should the file have been replaced by a FIFO since, the
    // open still returns, and the check below refuses it; O_NOFOLLOW the
    // same for a link.
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
    m_fd = ::open(path.c_str(), kFlags | O_NOATIME);
    // O_NOATIME is only for the file's owner.
    if (m_fd < 0 && errno == EPERM) m_fd = ::open(path.c_str(), kFlags);
    if (m_fd < 0) return errno == ELOOP ? EContentOpen::NotRegular : EContentOpen::Failed;
    if (::fstat(m_fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
      Close();
      return EContentOpen::NotRegular;
    }
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return EContentOpen::Opened;
  }

  std::ptrdiff_t Read(void* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(m_fd, buffer, size);
      if (got >= 0 || errno != EINTR) return got;
    }
  }

  std::int64_t Seek(std::int64_t offset, int whence) override { return ::lseek(m_fd, off_t(offset), whence); }

  void Close() override {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd = -1;
};

}  // namespace

std::unique_ptr<CContentReader> MakeFileContentReader() { return std::make_unique<CFileContentReader>(); }
