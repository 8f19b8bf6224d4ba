#pragma once
// Real trees for the scanning tests, made with POSIX calls.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/dir_reader.h"

// A temporary folder; removed by rm, which copes with trees deeper and
// longer than any path.
class CScanTree {
 public:
  CScanTree();
  ~CScanTree();
  CScanTree(const CScanTree&) = delete;
  CScanTree& operator=(const CScanTree&) = delete;
  const std::string& Path() const { return m_strPath; }
  std::string At(const std::string& relative) const { return m_strPath + "/" + relative; }

 private:
  std::string m_strPath;
};

void MakeFile(const std::string& path, std::uint64_t size, std::int64_t accessed = 0, std::int64_t modified = 0,
              long nanoseconds = 0);

// The descriptors this process holds.
std::size_t OpenDescriptorCount();

// Builds depth nested folders named name below parent without ever using a
// path longer than one name. With sides, each level also holds a file "f"
// and a folder "s" with a file "g".
void MakeChain(const std::string& parent, const std::string& name, int depth, bool sides);

// Reads entries in name order, so that every chain folder comes before its
// side folder "s" and the walk must return to folders it went down through.
class CSortedLister : public CFolderLister {
 public:
  bool ReadEntries(int fd, std::vector<CDirEntry>& out) override {
    const bool read = CFolderLister::ReadEntries(fd, out);
    std::sort(out.begin(), out.end(),
              [](const CDirEntry& a, const CDirEntry& b) { return a.strRawName < b.strRawName; });
    return read;
  }
};

// Several hundred folders at varied depths, some empty, some with files,
// and links to folders anywhere in it (walked when links are followed, each
// real folder once, the first time the walk meets it).
void MakeBranchingTree(const CScanTree& tree);
