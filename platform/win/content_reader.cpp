#include "platform/content_reader.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win/win_text.h"

namespace {

// Whether the entry at path is a symbolic link or junction (a name
// surrogate): never read through, as the catalog records the link itself.
// Other reparse points (deduplicated or cloud files) hold the file's own
// content.
bool IsNameSurrogate(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  const HANDLE find = ::FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  ::FindClose(find);
  constexpr DWORD kNameSurrogateBit = 0x20000000;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (data.dwReserved0 & kNameSurrogateBit) != 0;
}

class CFileContentReader : public CContentReader {
 public:
  ~CFileContentReader() override { Close(); }

  EContentOpen Open(const std::string& path) override {
    Close();
    const std::wstring wide = WidePath(path);
    if (IsNameSurrogate(wide)) return EContentOpen::NotRegular;
    m_hFile = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) return EContentOpen::Failed;
    BY_HANDLE_FILE_INFORMATION facts;
    if (::GetFileType(m_hFile) != FILE_TYPE_DISK || !::GetFileInformationByHandle(m_hFile, &facts) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      Close();
      return EContentOpen::NotRegular;
    }
    return EContentOpen::Opened;
  }

  std::ptrdiff_t Read(void* buffer, std::size_t size) override {
    DWORD got = 0;
    const DWORD wanted = size > 0x40000000 ? 0x40000000 : DWORD(size);
    if (!::ReadFile(m_hFile, buffer, wanted, &got, nullptr)) return -1;
    return std::ptrdiff_t(got);
  }

  std::int64_t Seek(std::int64_t offset, int whence) override {
    LARGE_INTEGER distance, moved;
    distance.QuadPart = offset;
    const DWORD method = whence == SEEK_CUR ? FILE_CURRENT : whence == SEEK_END ? FILE_END : FILE_BEGIN;
    if (!::SetFilePointerEx(m_hFile, distance, &moved, method)) return -1;
    return moved.QuadPart;
  }

  void Close() override {
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<CContentReader> MakeFileContentReader() { return std::make_unique<CFileContentReader>(); }
