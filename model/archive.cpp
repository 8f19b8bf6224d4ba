#include "model/archive.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/cp932_codec.h"

namespace {

constexpr std::size_t kBufferSize = 1 << 18;

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

std::string DecodeBody(std::string_view body, bool wide) {
  std::string text;
  if (wide)
    text = Utf16leToUtf8(reinterpret_cast<const unsigned char*>(body.data()), body.size() / 2);
  else
    DecodeCp932Exact(body, text);
  return text;
}

}  // namespace

// --- writing ---

CArchiveWriter::CArchiveWriter(int fd) : m_fd(fd) {
  if (m_fd >= 0) m_buffer.reserve(kBufferSize);
}

CArchiveWriter::~CArchiveWriter() = default;

void CArchiveWriter::Put(const void* data, std::size_t size) {
  m_buffer.append(static_cast<const char*>(data), size);
  if (m_fd >= 0 && m_buffer.size() >= kBufferSize) Flush();
}

bool CArchiveWriter::Flush() {
  if (m_fd < 0 || m_nErrno != 0) return m_nErrno == 0;
  const char* p = m_buffer.data();
  std::size_t left = m_buffer.size();
  while (left > 0) {
    const ssize_t n = ::write(m_fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      m_nErrno = errno;
      break;
    }
    p += n;
    left -= std::size_t(n);
  }
  m_buffer.clear();
  return m_nErrno == 0;
}

void CArchiveWriter::WriteWord(std::uint16_t v) {
  const unsigned char b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
  Put(b, 2);
}

void CArchiveWriter::WriteDword(std::uint32_t v) {
  const unsigned char b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
  Put(b, 4);
}

void CArchiveWriter::WriteLength(std::uint32_t n) {
  if (n < 0xFF) {
    WriteByte(std::uint8_t(n));
  } else if (n < 0xFFFE) {
    WriteByte(0xFF);
    WriteWord(std::uint16_t(n));
  } else {
    WriteByte(0xFF);
    WriteWord(0xFFFF);
    WriteDword(n);
  }
}

void CArchiveWriter::WriteString(std::string_view utf8) {
  if (IsAscii(utf8)) {
    WriteLength(std::uint32_t(utf8.size()));
    Put(utf8.data(), utf8.size());
    return;
  }
  if (EncodeCp932Exact(utf8, m_scratch)) {
    WriteLength(std::uint32_t(m_scratch.size()));
    Put(m_scratch.data(), m_scratch.size());
    return;
  }
  // Text CP932 cannot hold goes out as UTF-16, which readers also accept.
  WriteWide(Utf8ToUtf16le(utf8));
}

void CArchiveWriter::WriteWide(std::string_view utf16le) {
  WriteByte(0xFF);
  WriteWord(0xFFFE);
  WriteLength(std::uint32_t(utf16le.size() / 2));
  Put(utf16le.data(), utf16le.size());
}

void CArchiveWriter::WriteString(std::string_view utf8, bool wide, std::string_view raw) {
  if (!raw.empty() && DecodeBody(raw, wide) == utf8) {
    if (wide) {
      WriteWide(raw);
    } else {
      WriteLength(std::uint32_t(raw.size()));
      Put(raw.data(), raw.size());
    }
  } else if (wide) {
    WriteWide(Utf8ToUtf16le(utf8));
  } else {
    WriteString(utf8);
  }
}

// --- reading ---

CArchiveReader::CArchiveReader(std::string_view bytes)
    : m_pCur(reinterpret_cast<const unsigned char*>(bytes.data())),
      m_pEnd(m_pCur + bytes.size()),
      m_nRemaining(bytes.size()) {}

CArchiveReader::CArchiveReader(int fd, std::uint64_t fileSize) : m_fd(fd), m_nRemaining(fileSize) {}

bool CArchiveReader::Refill() {
  if (m_fd < 0 || m_error != ESetFileError::None) return false;
  const std::size_t kept = std::size_t(m_pEnd - m_pCur);
  std::string next(kept + kBufferSize, '\0');
  if (kept != 0) std::memcpy(next.data(), m_pCur, kept);
  std::size_t filled = kept;
  while (filled < next.size()) {
    const ssize_t n = ::read(m_fd, next.data() + filled, next.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(ESetFileError::ReadFailure);
      return false;
    }
    if (n == 0) break;
    filled += std::size_t(n);
  }
  next.resize(filled);
  m_buffer.swap(next);
  m_pCur = reinterpret_cast<const unsigned char*>(m_buffer.data());
  m_pEnd = m_pCur + m_buffer.size();
  return filled > kept;
}

bool CArchiveReader::Get(void* out, std::size_t size) {
  if (m_error != ESetFileError::None) return false;
  while (std::size_t(m_pEnd - m_pCur) < size) {
    if (!Refill()) {
      Fail(ESetFileError::EndOfFile);
      return false;
    }
  }
  std::memcpy(out, m_pCur, size);
  m_pCur += size;
  m_nRemaining -= size;
  return true;
}

bool CArchiveReader::ReadByte(std::uint8_t& v) { return Get(&v, 1); }

bool CArchiveReader::ReadWord(std::uint16_t& v) {
  unsigned char b[2];
  if (!Get(b, 2)) return false;
  v = std::uint16_t(b[0] | (b[1] << 8));
  return true;
}

bool CArchiveReader::ReadDword(std::uint32_t& v) {
  unsigned char b[4];
  if (!Get(b, 4)) return false;
  v = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
  return true;
}

bool CArchiveReader::ReadLength(std::uint32_t& n, bool& wide) {
  std::uint8_t first = 0;
  if (!ReadByte(first)) return false;
  if (first < 0xFF) {
    n = first;
    return true;
  }
  std::uint16_t word = 0;
  if (!ReadWord(word)) return false;
  if (word < 0xFFFE) {
    n = word;
    return true;
  }
  if (word == 0xFFFF) return ReadDword(n);
  if (wide) {  // a wide marker inside a wide string's own prefix
    Fail(ESetFileError::BadString);
    return false;
  }
  wide = true;
  return ReadLength(n, wide);
}

bool CArchiveReader::ReadString(std::string& out, std::uint32_t maxBytes, CTextForm* form) {
  std::uint32_t n = 0;
  bool wide = false;
  if (!ReadLength(n, wide)) return false;
  if (n > maxBytes) {
    Fail(ESetFileError::NameTooLong);
    return false;
  }
  const std::uint64_t bytes = wide ? std::uint64_t(n) * 2 : n;
  // Never allocate for text the file cannot hold.
  if (bytes > m_nRemaining) {
    Fail(ESetFileError::EndOfFile);
    return false;
  }
  if (form != nullptr) {
    form->bWide = wide;
    form->strRaw.clear();
  }
  if (bytes == 0) {
    out.clear();
    return true;
  }
  const unsigned char* data = nullptr;
  if (std::uint64_t(m_pEnd - m_pCur) >= bytes) {
    data = m_pCur;
    m_pCur += bytes;
    m_nRemaining -= bytes;
  } else {
    m_raw.resize(std::size_t(bytes));
    if (!Get(m_raw.data(), m_raw.size())) return false;
    data = reinterpret_cast<const unsigned char*>(m_raw.data());
  }
  const std::string_view body(reinterpret_cast<const char*>(data), std::size_t(bytes));
  bool exact = true;
  if (wide)
    out = Utf16leToUtf8(data, n, &exact);
  else
    exact = DecodeCp932Exact(body, out);
  if (!exact && form != nullptr) form->strRaw = std::string(body);
  return true;
}
