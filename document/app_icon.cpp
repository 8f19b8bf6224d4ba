#include "document/app_icon.h"

#include "resources/quarrix_32.xpm"

wxBitmap GetAppIcon() { return wxBitmap(quarrix_32_xpm); }

wxIcon GetAppIconAsIcon() {
  wxIcon icon;
  icon.CopyFromBitmap(GetAppIcon());
  return icon;
}
