#pragma once
// Primitive values of the set file: little-endian integers and strings with
// their length prefixes. Texts are UTF-8 in memory and CP932 in the file;
// a text CP932 cannot hold is written as UTF-16 so that nothing is lost.
// Bytes that are no CP932 text are read as escapes (cp932_codec.h) and written
// back as the same bytes.
//
// A set holds millions of items of a dozen values each, so the common case
// of every read and write (the bytes are there, the room is there) is inline.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "model/set_file_error.h"

// How a string stood in the file, so that an unchanged text goes back as it
// came: wide (UTF-16) or not, and its stored bytes when encoding the text
// again would not give them (codes CP932 holds twice, unpaired surrogates).
struct CTextForm {
  bool bWide = false;
  std::string strRaw;  // usually empty
};

// The bytes that store text in the given form (which must hold it exactly).
std::string StoredBytesOf(std::string_view text, bool wide);

// Older writers kept "\" inside names, where it is now escaped: a name's
// text as they stored it, and the text for a name they stored.
std::string WithBackslashes(std::string_view text);
std::string WithEscapedBackslashes(std::string_view text);

class CStreamHash;

class CArchiveWriter {
 public:
  // Writes to fd through a buffer; fd < 0 keeps everything in memory.
  explicit CArchiveWriter(int fd = -1);
  ~CArchiveWriter();

  void WriteByte(std::uint8_t v) {
    if (m_pCur == m_pEnd) MakeRoom(1);
    *m_pCur++ = char(v);
  }
  void WriteWord(std::uint16_t v) {
    if (m_pEnd - m_pCur < 2) MakeRoom(2);
    m_pCur[0] = char(v);
    m_pCur[1] = char(v >> 8);
    m_pCur += 2;
  }
  void WriteDword(std::uint32_t v) {
    if (m_pEnd - m_pCur < 4) MakeRoom(4);
    m_pCur[0] = char(v);
    m_pCur[1] = char(v >> 8);
    m_pCur[2] = char(v >> 16);
    m_pCur[3] = char(v >> 24);
    m_pCur += 4;
  }
  void WriteString(std::string_view utf8) {
    if (utf8.empty())
      WriteByte(0);  // most notes and short names
    else
      WriteText(utf8);
  }
  // Writes raw (the bytes of the text as read, UTF-16 when wide) when it
  // still holds utf8 (or utf8 as an older writer spelt it, see
  // WithBackslashes), else utf8 in the wide form when wide, else as above.
  void WriteString(std::string_view utf8, bool wide, std::string_view raw);
  void WriteRaw(const void* data, std::size_t size) {
    if (std::size_t(m_pEnd - m_pCur) < size) MakeRoom(size);
    if (size != 0) std::memcpy(m_pCur, data, size);
    m_pCur += size;
  }

  // Flushes the buffer to the file; false (with errno kept) on a failure.
  bool Flush();
  // Bytes flushed to the file from now on also go to hash (null: no more).
  void HashFlushed(CStreamHash* hash) { m_pHash = hash; }
  // Bytes flushed to the file so far.
  std::uint64_t Flushed() const { return m_nFlushed; }
  bool Failed() const { return m_nErrno != 0; }
  int Errno() const { return m_nErrno; }
  // Everything written, when writing to memory.
  const std::string& Bytes();

 private:
  // Flushes or grows the buffer until size more bytes fit.
  void MakeRoom(std::size_t size);
  void WriteText(std::string_view utf8);
  void WriteWide(std::string_view utf16le);
  void WriteLength(std::uint32_t n) {
    if (n < 0xFF)
      WriteByte(std::uint8_t(n));
    else
      WriteLongLength(n);
  }
  void WriteLongLength(std::uint32_t n);

  int m_fd;
  int m_nErrno = 0;
  CStreamHash* m_pHash = nullptr;
  std::uint64_t m_nFlushed = 0;
  std::string m_buffer;  // its whole length is usable; m_pCur marks the end of what was written
  char* m_pCur = nullptr;
  char* m_pEnd = nullptr;
  std::string m_scratch;
};

class CArchiveReader {
 public:
  // Reads from memory.
  explicit CArchiveReader(std::string_view bytes);
  // Reads the open file fd of size fileSize through a buffer.
  CArchiveReader(int fd, std::uint64_t fileSize);

  // Each read fails (and every later one) once the data ends inside a value.
  bool ReadByte(std::uint8_t& v) {
    if (m_pCur == m_pEnd) return Get(&v, 1);
    v = *m_pCur++;
    --m_nRemaining;
    return true;
  }
  bool ReadWord(std::uint16_t& v) {
    if (m_pEnd - m_pCur < 2) return ReadWordSlow(v);
    v = std::uint16_t(m_pCur[0] | (m_pCur[1] << 8));
    m_pCur += 2;
    m_nRemaining -= 2;
    return true;
  }
  bool ReadDword(std::uint32_t& v) {
    if (m_pEnd - m_pCur < 4) return ReadDwordSlow(v);
    v = std::uint32_t(m_pCur[0]) | (std::uint32_t(m_pCur[1]) << 8) | (std::uint32_t(m_pCur[2]) << 16) |
        (std::uint32_t(m_pCur[3]) << 24);
    m_pCur += 4;
    m_nRemaining -= 4;
    return true;
  }
  // maxBytes: longest text accepted (CP932 bytes, or UTF-16 units); form,
  // when given, receives how the text was stored.
  bool ReadString(std::string& out, std::uint32_t maxBytes = UINT32_MAX, CTextForm* form = nullptr);

  ESetFileError Error() const { return m_error; }
  void Fail(ESetFileError error) {
    if (m_error == ESetFileError::None) m_error = error;
    m_pEnd = m_pCur;  // every later read takes the slow way, which fails
  }
  // Bytes not read yet: bounds what a count in the file can make us allocate.
  std::uint64_t Remaining() const { return m_nRemaining; }
  // Reads up to max of the bytes not read yet (all of them when fewer).
  std::string ReadRest(std::size_t max);
  // Bytes read from now on also go to hash; null hashes what was read
  // since and stops.
  void HashConsumed(CStreamHash* hash);

 private:
  bool Get(void* out, std::size_t size);
  bool ReadWordSlow(std::uint16_t& v);
  bool ReadDwordSlow(std::uint32_t& v);
  bool ReadLength(std::uint32_t& n, bool& wide);
  bool Refill();
  void HashPending();

  int m_fd = -1;
  CStreamHash* m_pHash = nullptr;
  const unsigned char* m_pHashFrom = nullptr;  // the first byte read and not hashed yet
  const unsigned char* m_pCur = nullptr;
  const unsigned char* m_pEnd = nullptr;
  std::uint64_t m_nRemaining = 0;  // including the buffered bytes
  std::string m_buffer;
  std::string m_raw;
  ESetFileError m_error = ESetFileError::None;
};
