#include "document/app_icon.h"

#include "resources/svg_images.h"

wxBitmapBundle GetAppIcon() { return wxBitmapBundle::FromSVG(SvgImageText("quarrix"), wxSize(32, 32)); }

wxIconBundle GetAppIconBundle() {
  const wxBitmapBundle image = GetAppIcon();
  wxIconBundle icons;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    wxIcon icon;
    icon.CopyFromBitmap(image.GetBitmap(wxSize(size, size)));
    icons.AddIcon(icon);
  }
  return icons;
}
