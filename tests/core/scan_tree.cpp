#include "tests/core/scan_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

CScanTree::CScanTree() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/quarrix-scan-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) m_strPath = pattern;
}

CScanTree::~CScanTree() {
  if (!m_strPath.empty()) {
    EXPECT_EQ(0, std::system(("rm -rf '" + m_strPath + "'").c_str()));
  }
}

void MakeFile(const std::string& path, std::uint64_t size, std::int64_t accessed, std::int64_t modified,
              long nanoseconds) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(0, ftruncate(fd, off_t(size)));
  if (modified != 0) {
    const struct timespec times[2] = {{accessed, nanoseconds}, {modified, nanoseconds}};
    ASSERT_EQ(0, futimens(fd, times));
  }
  close(fd);
}

std::size_t OpenDescriptorCount() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

void MakeChain(const std::string& parent, const std::string& name, int depth, bool sides) {
  int fd = open(parent.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < depth; ++i) {
    ASSERT_EQ(0, mkdirat(fd, name.c_str(), 0755));
    const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
    if (!sides) continue;
    ASSERT_EQ(0, mkdirat(fd, "s", 0755));
    for (const char* file : {"f", "s/g"}) {
      const int created = openat(fd, file, O_WRONLY | O_CREAT, 0644);
      ASSERT_GE(created, 0);
      close(created);
    }
  }
  close(fd);
}

void MakeBranchingTree(const CScanTree& tree) {
  std::vector<std::string> folders{""};
  std::uint32_t seed = 12345;
  const auto next = [&seed](std::uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % bound;
  };
  for (int i = 0; i < 400; ++i) {
    // Newer folders are likelier parents: the tree grows deep as well as wide.
    const std::string& parent = folders[folders.size() - 1 - next(std::min<std::uint32_t>(folders.size(), 30))];
    const std::string folder = parent + "/d" + std::to_string(i);
    ASSERT_EQ(0, mkdir(tree.At(folder).c_str(), 0755));
    for (std::uint32_t f = next(4) == 0 ? 0 : next(6); f > 0; --f)
      MakeFile(tree.At(folder + "/f" + std::to_string(f)), f);
    folders.push_back(folder);
  }
  // Some beside their targets, so that both are likely read at once.
  for (std::size_t i = 1; i < folders.size(); i += 23) {
    const std::string& target = folders[next(folders.size())];
    ASSERT_EQ(0, symlink(tree.At(target).c_str(), tree.At(folders[i] + "/link").c_str()));
    ASSERT_EQ(0, symlink(tree.At(folders[i]).c_str(), tree.At(folders[i] + "-twin").c_str()));
  }
}
