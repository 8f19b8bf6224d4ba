// File-type icons from the shell, as Explorer shows them: asked by extension
// only, so no file needs to exist.
#include "ui/icon_source.h"

#include <wx/icon.h>

#include "platform/win/win_text.h"

#include <windows.h>
#include <shellapi.h>

namespace {

bool ShellIcon(const std::wstring& name, UINT size, wxBitmap& out) {
  SHFILEINFOW info{};
  if (SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_USEFILEATTRIBUTES | SHGFI_ICON | size) == 0 ||
      info.hIcon == nullptr)
    return false;
  wxIcon icon;
  if (!icon.CreateFromHICON(info.hIcon)) {  // takes the handle over
    DestroyIcon(info.hIcon);
    return false;
  }
  out = wxBitmap(icon);
  return out.IsOk();
}

}  // namespace

bool CDesktopIconSource::LookUp(const std::string& extension, wxBitmap& large, wxBitmap& small) {
  const std::wstring name = L"x" + WideFromUtf8(extension);
  wxBitmap large32, small16;
  if (!ShellIcon(name, SHGFI_LARGEICON, large32) || !ShellIcon(name, SHGFI_SMALLICON, small16)) return false;
  large = large32;
  small = small16;
  return true;
}
