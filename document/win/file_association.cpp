// The ".fcf" document type registered for the current user under
// HKEY_CURRENT_USER\Software\Classes, opening with this program.
#include "document/file_association.h"

#include "platform/win/win_text.h"

#include <windows.h>
#include <shlobj.h>

namespace {

const wchar_t kProgId[] = L"Quarrix.TallyHold";

// Sets key's default value (or the named one); true when it changed.
bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  wchar_t old[1024];
  DWORD size = sizeof old;
  DWORD type = 0;
  const bool same =
      RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS &&
      type == REG_SZ && std::wstring(old, size / sizeof(wchar_t)).c_str() == value;
  bool changed = false;
  if (!same)
    changed = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return changed;
}

}  // namespace

// The registry needs no data folder.
std::string XdgDataHome() { return {}; }

int RegisterDocumentType(const std::string&, const std::string& program) {
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring exe = WidePath(program);
  int written = 0;
  written += SetValue(classes + L".fcf", nullptr, kProgId);
  written += SetValue(classes + kProgId, nullptr, WideFromUtf8(kSetTypeName));
  written += SetValue(classes + kProgId + L"\\DefaultIcon", nullptr, L"\"" + exe + L"\",0");
  written += SetValue(classes + kProgId + L"\\shell\\open\\command", nullptr, L"\"" + exe + L"\" \"%1\"");
  if (written > 0) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
  return written;
}
