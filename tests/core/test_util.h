#pragma once
// Helpers shared by the core tests: building small sets and temporary folders.

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "model/root_file_info.h"

// Sets TZ for the test's lifetime and restores the old value.
class CScopedTimeZone {
 public:
  explicit CScopedTimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) m_strOld = old, m_bHadOld = true;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~CScopedTimeZone() {
    if (m_bHadOld)
      setenv("TZ", m_strOld.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::string m_strOld;
  bool m_bHadOld = false;
};

// A temporary folder removed with its contents at the end of the test.
class CTempDir {
 public:
  CTempDir();
  ~CTempDir();
  const std::string& Path() const { return m_strPath; }
  std::string File(const std::string& name) const { return m_strPath + "/" + name; }

 private:
  std::string m_strPath;
};

CFindData FileRecord(const std::string& name, std::uint64_t size = 0, std::uint64_t writeTime = 0);
CFindData FolderRecord(const std::string& name);

// A catalog with fixed medium facts, not yet appended.
std::unique_ptr<CDriveFileInfo> MakeCatalog(const std::string& label);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
