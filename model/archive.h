#pragma once
// Primitive values of the set file: little-endian integers and strings with
// their length prefixes. Texts are UTF-8 in memory and CP932 in the file;
// a text CP932 cannot hold is written as UTF-16 so that nothing is lost.
// Bytes that are no CP932 text are read as escapes (cp932_codec.h) and written
// back as the same bytes.

#include <cstdint>
#include <cstdio>
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

class CArchiveWriter {
 public:
  // Writes to fd through a buffer; fd < 0 keeps everything in memory.
  explicit CArchiveWriter(int fd = -1);
  ~CArchiveWriter();

  void WriteByte(std::uint8_t v) { Put(&v, 1); }
  void WriteWord(std::uint16_t v);
  void WriteDword(std::uint32_t v);
  void WriteString(std::string_view utf8);
  // Writes raw (the bytes of the text as read, UTF-16 when wide) when it
  // still holds utf8, else utf8 in the wide form when wide, else as above.
  void WriteString(std::string_view utf8, bool wide, std::string_view raw);
  void WriteRaw(const void* data, std::size_t size) { Put(data, size); }

  // Flushes the buffer to the file; false (with errno kept) on a failure.
  bool Flush();
  bool Failed() const { return m_nErrno != 0; }
  int Errno() const { return m_nErrno; }
  const std::string& Bytes() const { return m_buffer; }

 private:
  void Put(const void* data, std::size_t size);
  void WriteLength(std::uint32_t n);
  void WriteWide(std::string_view utf16le);

  int m_fd;
  int m_nErrno = 0;
  std::string m_buffer;
  std::string m_scratch;
};

class CArchiveReader {
 public:
  // Reads from memory.
  explicit CArchiveReader(std::string_view bytes);
  // Reads the open file fd of size fileSize through a buffer.
  CArchiveReader(int fd, std::uint64_t fileSize);

  // Each read fails (and every later one) once the data ends inside a value.
  bool ReadByte(std::uint8_t& v);
  bool ReadWord(std::uint16_t& v);
  bool ReadDword(std::uint32_t& v);
  // maxBytes: longest text accepted (CP932 bytes, or UTF-16 units); form,
  // when given, receives how the text was stored.
  bool ReadString(std::string& out, std::uint32_t maxBytes = UINT32_MAX, CTextForm* form = nullptr);

  ESetFileError Error() const { return m_error; }
  void Fail(ESetFileError error) {
    if (m_error == ESetFileError::None) m_error = error;
  }
  // Bytes not read yet: bounds what a count in the file can make us allocate.
  std::uint64_t Remaining() const { return m_nRemaining; }

 private:
  bool Get(void* out, std::size_t size);
  bool ReadLength(std::uint32_t& n, bool& wide);
  bool Refill();

  int m_fd = -1;
  const unsigned char* m_pCur = nullptr;
  const unsigned char* m_pEnd = nullptr;
  std::uint64_t m_nRemaining = 0;  // including the buffered bytes
  std::string m_buffer;
  std::string m_raw;
  ESetFileError m_error = ESetFileError::None;
};
