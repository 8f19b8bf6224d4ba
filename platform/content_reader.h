#pragma once
// Reading a file's contents start to end, for its fingerprint: one
// sequential pass, the cache told so, the access time left alone where the
// system allows. Only regular files are opened: a FIFO or a device could
// block or act on being opened.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class EContentOpen { Opened, NotRegular, Failed };

class CContentReader {
 public:
  virtual ~CContentReader() = default;
  // Opens the file at path (a real path), closing any file open before.
  virtual EContentOpen Open(const std::string& path) = 0;
  // Up to size bytes into buffer: how many, 0 at the end, -1 on an error.
  virtual std::ptrdiff_t Read(void* buffer, std::size_t size) = 0;
  // Moves to offset from whence (SEEK_SET, SEEK_CUR, SEEK_END), as archives
  // are read: the new position, or -1 (a reader that cannot).
  virtual std::int64_t Seek(std::int64_t /*offset*/, int /*whence*/) { return -1; }
  virtual void Close() = 0;
};

std::unique_ptr<CContentReader> MakeFileContentReader();
