#pragma once
// Replacing a file without ever leaving it half written: the new contents go
// to a temporary file beside the target, which is synced and renamed over the
// target only when everything was written.

#include <string>

class CAtomicFile {
 public:
  // A link is written through: its target is replaced and the link stays.
  explicit CAtomicFile(const std::string& target);
  ~CAtomicFile();  // removes the temporary file unless committed
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;

  // The temporary file, with the target's permissions (a new file's follow
  // the umask); -1 with errno set when it cannot be made.
  int Open();
  int Fd() const { return m_fd; }
  // Syncs, closes and renames over the target; 0 or an errno value.
  int Commit();

 private:
  std::string m_strTarget;
  std::string m_strTemp;
  int m_fd = -1;
  bool m_bCommitted = false;
};
