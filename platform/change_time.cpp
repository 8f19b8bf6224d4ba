#include "platform/change_time.h"

#include <fcntl.h>
#include <sys/stat.h>

bool ReadChangeTime(int dirFd, const std::string& name, std::uint64_t& fileTime) {
  struct stat facts;
  if (fstatat(dirFd, name.c_str(), &facts, AT_SYMLINK_NOFOLLOW) != 0) return false;
  constexpr std::uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 in 100 ns units since 1601
  fileTime =
      kUnixEpoch + std::uint64_t(facts.st_ctim.tv_sec) * 10000000ULL + std::uint64_t(facts.st_ctim.tv_nsec) / 100;
  return true;
}
