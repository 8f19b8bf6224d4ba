#pragma once
// What a running scan tells the one watching it. The scanning threads only
// bump counters; whoever shows progress polls them (a timer, a status line),
// so a scan with a watcher costs next to nothing more than one without. The
// folder reader counts what it reads, so these live below the model.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

struct CScanCounts {
  std::uint64_t nFolders = 0;
  std::uint64_t nFiles = 0;
  std::uint64_t nBytes = 0;  // sizes of the files
};

// Files' contents read for their fingerprints after the walk.
struct CHashCounts {
  std::uint64_t nFiles = 0;  // done, read whole or not
  std::uint64_t nFilesTotal = 0;
  std::uint64_t nBytes = 0;  // read so far
  std::uint64_t nBytesTotal = 0;
};

class CScanProgress {
 public:
  // Safe from any thread while the scan runs.
  CScanCounts Counts() const {
    return {m_nFolders.load(std::memory_order_relaxed), m_nFiles.load(std::memory_order_relaxed),
            m_nBytes.load(std::memory_order_relaxed)};
  }
  // The folder read most recently (real path, UTF-8 for showing). Each call
  // asks the scan for a fresh one, which the scan gives at its next folder:
  // paths are only built when somebody looks.
  std::string CurrentFolder() {
    m_bFolderWanted.store(true, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strFolder;
  }

  // Called by the scan.
  void AddEntry(bool isFolder, std::uint64_t size) {
    if (isFolder) {
      m_nFolders.fetch_add(1, std::memory_order_relaxed);
    } else {
      m_nFiles.fetch_add(1, std::memory_order_relaxed);
      m_nBytes.fetch_add(size, std::memory_order_relaxed);
    }
  }
  void AddCounts(const CScanCounts& counts) {
    m_nFolders.fetch_add(counts.nFolders, std::memory_order_relaxed);
    m_nFiles.fetch_add(counts.nFiles, std::memory_order_relaxed);
    m_nBytes.fetch_add(counts.nBytes, std::memory_order_relaxed);
  }
  // Entries counted and then left out of the catalog (a folder read ahead
  // that the walk turned out to have met already).
  void TakeBackCounts(const CScanCounts& counts) {
    m_nFolders.fetch_sub(counts.nFolders, std::memory_order_relaxed);
    m_nFiles.fetch_sub(counts.nFiles, std::memory_order_relaxed);
    m_nBytes.fetch_sub(counts.nBytes, std::memory_order_relaxed);
  }
  CHashCounts HashCounts() const {
    return {m_nHashFiles.load(std::memory_order_relaxed), m_nHashFilesTotal.load(std::memory_order_relaxed),
            m_nHashBytes.load(std::memory_order_relaxed), m_nHashBytesTotal.load(std::memory_order_relaxed)};
  }
  bool Hashing() const { return m_nHashFilesTotal.load(std::memory_order_relaxed) != 0; }
  void AddHashWork(std::uint64_t files, std::uint64_t bytes) {
    m_nHashFilesTotal.fetch_add(files, std::memory_order_relaxed);
    m_nHashBytesTotal.fetch_add(bytes, std::memory_order_relaxed);
  }
  void AddHashedBytes(std::uint64_t bytes) { m_nHashBytes.fetch_add(bytes, std::memory_order_relaxed); }
  void AddHashedFile() { m_nHashFiles.fetch_add(1, std::memory_order_relaxed); }

  bool FolderWanted() const { return m_bFolderWanted.load(std::memory_order_relaxed); }
  void SetFolder(std::string path) {
    m_bFolderWanted.store(false, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strFolder = std::move(path);
  }

 private:
  std::atomic<std::uint64_t> m_nFolders{0};
  std::atomic<std::uint64_t> m_nFiles{0};
  std::atomic<std::uint64_t> m_nBytes{0};
  std::atomic<std::uint64_t> m_nHashFiles{0};
  std::atomic<std::uint64_t> m_nHashFilesTotal{0};
  std::atomic<std::uint64_t> m_nHashBytes{0};
  std::atomic<std::uint64_t> m_nHashBytesTotal{0};
  std::atomic<bool> m_bFolderWanted{true};
  std::mutex m_mutex;
  std::string m_strFolder;
};

// Counts entries locally and passes them on every few dozen, so that a
// scanning thread rarely touches the shared counters.
class CPendingCounts {
 public:
  explicit CPendingCounts(CScanProgress* progress) : m_pProgress(progress) {}
  ~CPendingCounts() { Publish(); }
  CPendingCounts(const CPendingCounts&) = delete;
  CPendingCounts& operator=(const CPendingCounts&) = delete;

  void Add(bool isFolder, std::uint64_t size) {
    if (m_pProgress == nullptr) return;
    if (isFolder) {
      ++m_counts.nFolders;
    } else {
      ++m_counts.nFiles;
      m_counts.nBytes += size;
    }
    if (++m_nPending == 64) Publish();
  }
  void Publish() {
    if (m_pProgress == nullptr || m_nPending == 0) return;
    m_pProgress->AddCounts(m_counts);
    m_counts = CScanCounts();
    m_nPending = 0;
  }

 private:
  CScanProgress* m_pProgress;
  CScanCounts m_counts;
  unsigned m_nPending = 0;
};
