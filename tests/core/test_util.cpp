#include "tests/core/test_util.h"

#include <ftw.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

CTempDir::CTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/quarrix-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  m_strPath = pattern;
}

CTempDir::~CTempDir() {
  nftw(
      m_strPath.c_str(), [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 64,
      FTW_DEPTH | FTW_PHYS);
}

CFindData FileRecord(const std::string& name, std::uint64_t size, std::uint64_t writeTime) {
  CFindData record;
  record.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  record.cFileName = name;
  record.SetSize(size);
  record.ftCreationTime = record.ftLastAccessTime = record.ftLastWriteTime = writeTime;
  return record;
}

CFindData FolderRecord(const std::string& name) {
  CFindData record;
  record.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  record.cFileName = name;
  return record;
}

std::unique_ptr<CDriveFileInfo> MakeCatalog(const std::string& label) {
  CMediumFacts facts;
  facts.strMachineName = "host";
  facts.strMediaType = "固定ディスク";
  facts.nFreeBytes = 1000;
  facts.nTotalBytes = 5000000000ULL;
  return std::make_unique<CDriveFileInfo>(label, "/data/" + label, facts);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}
