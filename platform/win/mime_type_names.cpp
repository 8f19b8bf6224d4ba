// Type names on Windows come from the shell, as Explorer shows them.
#include "platform/mime_type_names.h"

#include "platform/win/win_text.h"

#include <windows.h>
#include <shellapi.h>

// The folder argument names the shared MIME database on Linux; unused here.
CMimeTypeNameSource::CMimeTypeNameSource(std::string mimeDir) : m_strMimeDir(std::move(mimeDir)) {}

std::string CMimeTypeNameSource::TypeName(const std::string& extension, bool isFolder) {
  const std::string key = isFolder ? std::string("/") : extension;
  std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_mapByExtension.find(key);
  if (found != m_mapByExtension.end()) return found->second;
  SHFILEINFOW info{};
  const std::wstring name = L"x" + WideFromUtf8(isFolder ? std::string() : extension);
  std::string text;
  if (SHGetFileInfoW(name.c_str(), isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME) != 0)
    text = Utf8FromWide(info.szTypeName);
  m_mapByExtension.emplace(key, text);
  return text;
}

// The shell knows types by extension, not by MIME type.
std::string CMimeTypeNameSource::MimeTypeForName(const std::string&) { return {}; }
