#pragma once
// What listing and extracting archives share: a libarchive reader limited to
// the formats and compressions we list (none that runs another program), fed
// from a CContentReader under a deadline and the cancel flag.

#include <archive.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/content_reader.h"

struct CArchiveFree {
  void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, CArchiveFree>;

ArchivePtr NewArchiveReader();

// The source of one archive's bytes, read in a buffer of its own; reads stop
// (failing the archive's read) once the deadline passes or cancel is set.
class CArchiveReadLimits {
 public:
  using Clock = std::chrono::steady_clock;
  CArchiveReadLimits(CContentReader& reader, int seconds, const std::atomic<bool>* cancel)
      : CArchiveReadLimits(reader, Clock::now() + std::chrono::seconds(seconds), cancel) {}
  CArchiveReadLimits(CContentReader& reader, Clock::time_point deadline, const std::atomic<bool>* cancel)
      : m_reader(reader), m_deadline(deadline), m_pCancel(cancel) {}

  // False, noting why, once cancel is set or the deadline has passed.
  bool WithinLimits();
  bool Cancelled() const { return m_bCancelled; }
  bool Stopped() const { return m_bCancelled || m_bTimedOut; }
  Clock::time_point Deadline() const { return m_deadline; }
  const std::atomic<bool>* Cancel() const { return m_pCancel; }
  // The EArchiveState bit for a read that failed: out of time, or damaged.
  std::uint8_t StateAfterError() const;

  // Reads size bytes at offset of the archive into out, within the limits,
  // checking they are there before it allocates: for reading a header
  // libarchive could not (sevenz_header.h). Moves libarchive's position.
  bool ReadAt(std::uint64_t offset, std::size_t size, std::string& out);

  // libarchive's callbacks; data is this.
  static la_ssize_t Read(archive*, void* data, const void** buffer);
  static la_int64_t Seek(archive*, void* data, la_int64_t offset, int whence);

 private:
  CContentReader& m_reader;
  Clock::time_point m_deadline;
  const std::atomic<bool>* m_pCancel;
  std::vector<char> m_buffer;
  bool m_bCancelled = false;
  bool m_bTimedOut = false;
};

// Opens archive on source; the result of archive_read_open1.
int OpenWithReader(archive* reader, CArchiveReadLimits& source);

// Reads the data of the member reader stands on into out, up to maxBytes:
// false with state's kArchiveCapped bit when it is larger, kArchiveDamaged
// (or kArchiveTimedOut) when it does not read.
bool ReadMemberData(archive* reader, std::uint64_t maxBytes, std::string& out, std::uint8_t& state,
                    const CArchiveReadLimits& source);

// Serves a buffer as a file, for archives held inside archives.
class CMemoryContentReader : public CContentReader {
 public:
  explicit CMemoryContentReader(const std::string& bytes) : m_bytes(bytes) {}
  EContentOpen Open(const std::string&) override {
    m_nAt = 0;
    return EContentOpen::Opened;
  }
  std::ptrdiff_t Read(void* buffer, std::size_t size) override;
  std::int64_t Seek(std::int64_t offset, int whence) override;
  void Close() override {}

 private:
  const std::string& m_bytes;
  std::size_t m_nAt = 0;
};
