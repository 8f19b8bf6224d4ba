#include "model/archive.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/set_extension.h"
#include "platform/cp932_codec.h"

namespace {

constexpr std::size_t kBufferSize = 1 << 18;

bool IsAscii(std::string_view text) {
  const char* p = text.data();
  std::size_t n = text.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ULL) return false;
  }
  for (; n > 0; ++p, --n)
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
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

constexpr std::string_view kEscapedBackslash = "\xEE\xBD\x9C";  // U+EF5C

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, start)) {
    out.append(text, start, hit - start).append(to);
    start = hit + from.size();
  }
  return out.append(text.substr(start));
}

}  // namespace

std::string StoredBytesOf(std::string_view text, bool wide) {
  std::string bytes;
  if (wide)
    bytes = Utf8ToUtf16le(text);
  else
    EncodeCp932Exact(text, bytes);
  return bytes;
}

std::string WithBackslashes(std::string_view text) { return ReplaceAll(text, kEscapedBackslash, "\\"); }
std::string WithEscapedBackslashes(std::string_view text) { return ReplaceAll(text, "\\", kEscapedBackslash); }

// --- writing ---

CArchiveWriter::CArchiveWriter(int fd) : m_fd(fd) {
  m_buffer.resize(m_fd >= 0 ? kBufferSize : 256);
  m_pCur = m_buffer.data();
  m_pEnd = m_pCur + m_buffer.size();
}

CArchiveWriter::~CArchiveWriter() = default;

void CArchiveWriter::MakeRoom(std::size_t size) {
  if (m_fd >= 0) Flush();
  const std::size_t used = std::size_t(m_pCur - m_buffer.data());
  if (m_buffer.size() - used < size) {
    m_buffer.resize(std::max(m_buffer.size() * 2, used + size));
    m_pCur = m_buffer.data() + used;
    m_pEnd = m_buffer.data() + m_buffer.size();
  }
}

bool CArchiveWriter::Flush() {
  if (m_fd < 0 || m_nErrno != 0) {
    if (m_fd >= 0) m_pCur = m_buffer.data();  // after a failure nothing more is kept
    return m_nErrno == 0;
  }
  const char* p = m_buffer.data();
  std::size_t left = std::size_t(m_pCur - p);
  if (m_pHash != nullptr) m_pHash->Update(p, left);
  m_nFlushed += left;
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
  m_pCur = m_buffer.data();
  return m_nErrno == 0;
}

const std::string& CArchiveWriter::Bytes() {
  m_buffer.resize(std::size_t(m_pCur - m_buffer.data()));
  m_pCur = m_pEnd = m_buffer.data() + m_buffer.size();
  return m_buffer;
}

void CArchiveWriter::WriteLongLength(std::uint32_t n) {
  if (n < 0xFFFE) {
    WriteByte(0xFF);
    WriteWord(std::uint16_t(n));
  } else {
    WriteByte(0xFF);
    WriteWord(0xFFFF);
    WriteDword(n);
  }
}

void CArchiveWriter::WriteText(std::string_view utf8) {
  if (IsAscii(utf8)) {
    WriteLength(std::uint32_t(utf8.size()));
    WriteRaw(utf8.data(), utf8.size());
    return;
  }
  if (EncodeCp932Exact(utf8, m_scratch)) {
    WriteLength(std::uint32_t(m_scratch.size()));
    WriteRaw(m_scratch.data(), m_scratch.size());
    return;
  }
  // Text CP932 cannot hold goes out as UTF-16, which readers also accept.
  WriteWide(Utf8ToUtf16le(utf8));
}

void CArchiveWriter::WriteWide(std::string_view utf16le) {
  WriteByte(0xFF);
  WriteWord(0xFFFE);
  WriteLength(std::uint32_t(utf16le.size() / 2));
  WriteRaw(utf16le.data(), utf16le.size());
}

void CArchiveWriter::WriteString(std::string_view utf8, bool wide, std::string_view raw) {
  std::string stored;
  if (!raw.empty()) stored = DecodeBody(raw, wide);
  if (!raw.empty() && (stored == utf8 || stored == WithBackslashes(utf8))) {
    if (wide) {
      WriteWide(raw);
    } else {
      WriteLength(std::uint32_t(raw.size()));
      WriteRaw(raw.data(), raw.size());
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

void CArchiveReader::HashPending() {
  if (m_pHash != nullptr && m_pCur > m_pHashFrom) m_pHash->Update(m_pHashFrom, std::size_t(m_pCur - m_pHashFrom));
  m_pHashFrom = m_pCur;
}

void CArchiveReader::HashConsumed(CStreamHash* hash) {
  HashPending();
  m_pHash = hash;
}

bool CArchiveReader::Refill() {
  if (m_fd < 0 || m_error != ESetFileError::None) return false;
  HashPending();
  // The unread bytes move to the front; the buffer grows only for a value
  // longer than it.
  const std::size_t kept = std::size_t(m_pEnd - m_pCur);
  if (m_buffer.size() < kept + kBufferSize) {
    std::string larger(kept + kBufferSize, '\0');
    if (kept != 0) std::memcpy(larger.data(), m_pCur, kept);
    m_buffer.swap(larger);
  } else if (kept != 0) {
    std::memmove(m_buffer.data(), m_pCur, kept);
  }
  std::size_t filled = kept;
  while (filled < m_buffer.size()) {
    const ssize_t n = ::read(m_fd, m_buffer.data() + filled, m_buffer.size() - filled);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(ESetFileError::ReadFailure);
      return false;
    }
    if (n == 0) break;
    filled += std::size_t(n);
  }
  m_pCur = reinterpret_cast<const unsigned char*>(m_buffer.data());
  m_pEnd = m_pCur + filled;
  m_pHashFrom = m_pCur;
  return filled > kept;
}

std::string CArchiveReader::ReadRest(std::size_t max) {
  std::string rest;
  while (rest.size() < max && m_error == ESetFileError::None) {
    if (m_pCur == m_pEnd && !Refill()) break;
    const std::size_t take = std::min(std::size_t(m_pEnd - m_pCur), max - rest.size());
    rest.append(reinterpret_cast<const char*>(m_pCur), take);
    m_pCur += take;
    m_nRemaining -= take;
  }
  return rest;
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

bool CArchiveReader::ReadWordSlow(std::uint16_t& v) {
  unsigned char b[2];
  if (!Get(b, 2)) return false;
  v = std::uint16_t(b[0] | (b[1] << 8));
  return true;
}

bool CArchiveReader::ReadDwordSlow(std::uint32_t& v) {
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
  else if (IsAscii(body))
    out.assign(body);  // reuses out's storage: ASCII is the same in both encodings, and exact
  else
    exact = DecodeCp932Exact(body, out);
  if (!exact && form != nullptr) form->strRaw = std::string(body);
  return true;
}
