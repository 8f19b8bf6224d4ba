#include "model/archive_reading.h"

#include <cstdio>
#include <cstring>

#include "model/archive_listing.h"

namespace {
constexpr std::size_t kReadSize = 64 * 1024;
}

ArchivePtr NewArchiveReader() {
  ArchivePtr reader(archive_read_new());
  archive* a = reader.get();
  // Named one by one: "all" would take in formats that read other files
  // (mtree) and compressions that start other programs.
  archive_read_support_filter_gzip(a);
  archive_read_support_filter_bzip2(a);
  archive_read_support_filter_xz(a);
  archive_read_support_filter_lzma(a);
  archive_read_support_filter_zstd(a);
  archive_read_support_filter_compress(a);
  archive_read_support_format_zip(a);
  archive_read_support_format_7zip(a);
  archive_read_support_format_rar(a);
  archive_read_support_format_rar5(a);
  archive_read_support_format_lha(a);
  archive_read_support_format_cab(a);
  archive_read_support_format_tar(a);
  archive_read_support_format_iso9660(a);
  archive_read_support_format_cpio(a);
  // LHA headers rarely say their code page; Japanese archivers wrote CP932,
  // and without it libarchive refuses every name that is not ASCII.
  archive_read_set_options(a, "lha:hdrcharset=CP932");
  return reader;
}

std::uint8_t CArchiveReadLimits::StateAfterError() const {
  return m_bTimedOut ? kArchiveTimedOut : m_bCancelled ? 0 : kArchiveDamaged;
}

bool CArchiveReadLimits::WithinLimits() {
  if (m_pCancel != nullptr && m_pCancel->load(std::memory_order_relaxed)) m_bCancelled = true;
  if (!m_bCancelled && Clock::now() > m_deadline) m_bTimedOut = true;
  return !Stopped();
}

la_ssize_t CArchiveReadLimits::Read(archive*, void* data, const void** buffer) {
  auto& self = *static_cast<CArchiveReadLimits*>(data);
  if (!self.WithinLimits()) return -1;
  if (self.m_buffer.empty()) self.m_buffer.resize(kReadSize);
  const std::ptrdiff_t got = self.m_reader.Read(self.m_buffer.data(), self.m_buffer.size());
  *buffer = self.m_buffer.data();
  return got < 0 ? -1 : la_ssize_t(got);
}

la_int64_t CArchiveReadLimits::Seek(archive*, void* data, la_int64_t offset, int whence) {
  const std::int64_t at = static_cast<CArchiveReadLimits*>(data)->m_reader.Seek(offset, whence);
  return at < 0 ? ARCHIVE_FATAL : at;
}

bool CArchiveReadLimits::ReadAt(std::uint64_t offset, std::size_t size, std::string& out) {
  const std::int64_t end = m_reader.Seek(0, SEEK_END);
  if (!WithinLimits() || end < 0 || offset > std::uint64_t(end) || size > std::uint64_t(end) - offset ||
      m_reader.Seek(std::int64_t(offset), SEEK_SET) != std::int64_t(offset))
    return false;
  out.resize(size);
  for (std::size_t at = 0; at < size;) {
    const std::ptrdiff_t got = m_reader.Read(&out[at], size - at);
    if (got <= 0 || !WithinLimits()) return false;
    at += std::size_t(got);
  }
  return true;
}

int OpenWithReader(archive* reader, CArchiveReadLimits& source) {
  archive_read_set_read_callback(reader, &CArchiveReadLimits::Read);
  // A reader that cannot seek says so on the first try; zip then reads its
  // local headers in turn instead of the central directory.
  archive_read_set_seek_callback(reader, &CArchiveReadLimits::Seek);
  archive_read_set_callback_data(reader, &source);
  return archive_read_open1(reader);
}

bool ReadMemberData(archive* reader, std::uint64_t maxBytes, std::string& out, std::uint8_t& state,
                    const CArchiveReadLimits& source) {
  out.clear();
  char buffer[kReadSize];
  for (;;) {
    const la_ssize_t got = archive_read_data(reader, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      state |= source.StateAfterError();
      if (archive_read_has_encrypted_entries(reader) > 0) state |= kArchiveEncrypted;
      return false;
    }
    if (out.size() + std::size_t(got) > maxBytes) {
      state |= kArchiveCapped;
      return false;
    }
    out.append(buffer, std::size_t(got));
  }
}

std::ptrdiff_t CMemoryContentReader::Read(void* buffer, std::size_t size) {
  const std::size_t count = std::min(size, m_bytes.size() - m_nAt);
  std::memcpy(buffer, m_bytes.data() + m_nAt, count);
  m_nAt += count;
  return std::ptrdiff_t(count);
}

std::int64_t CMemoryContentReader::Seek(std::int64_t offset, int whence) {
  const std::int64_t base = whence == SEEK_CUR   ? std::int64_t(m_nAt)
                            : whence == SEEK_END ? std::int64_t(m_bytes.size())
                                                 : 0;
  const std::int64_t at = base + offset;
  if (at < 0 || at > std::int64_t(m_bytes.size())) return -1;
  m_nAt = std::size_t(at);
  return at;
}
