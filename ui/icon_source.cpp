#include "ui/icon_source.h"

#include <gio/gio.h>

#include <memory>
#include <vector>

#include <wx/artprov.h>
#include <wx/image.h>

namespace {

// Icon names GIO gives for a content type, most specific first.
std::vector<std::string> IconNamesFor(const std::string& mimeType) {
  std::vector<std::string> names;
  std::unique_ptr<gchar, decltype(&g_free)> type(g_content_type_from_mime_type(mimeType.c_str()), g_free);
  if (!type) return names;
  if (GIcon* icon = g_content_type_get_icon(type.get())) {
    if (G_IS_THEMED_ICON(icon))
      for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon)); name && *name; ++name)
        names.emplace_back(*name);
    g_object_unref(icon);
  }
  std::unique_ptr<gchar, decltype(&g_free)> generic(g_content_type_get_generic_icon_name(type.get()), g_free);
  if (generic) names.emplace_back(generic.get());
  return names;
}

// The theme's icon of that name at exactly size×size pixels.
wxBitmap ThemeIcon(const std::string& name, int size) {
  // wxGTK's art provider takes theme icon names as art ids.
  wxBitmap bitmap = wxArtProvider::GetBitmap(wxString::FromUTF8(name), wxART_OTHER, wxSize(size, size));
  if (!bitmap.IsOk()) return bitmap;
  if (bitmap.GetWidth() != size || bitmap.GetHeight() != size) {
    wxImage image = bitmap.ConvertToImage();
    image.Rescale(size, size, wxIMAGE_QUALITY_HIGH);
    bitmap = wxBitmap(image);
  }
  return bitmap;
}

}  // namespace

bool CDesktopIconSource::LookUp(const std::string& extension, wxBitmap& large, wxBitmap& small) {
  std::string mimeType = m_mimeTypes.MimeTypeForName("file" + extension);
  if (mimeType.empty()) mimeType = "application/octet-stream";
  for (const std::string& name : IconNamesFor(mimeType)) {
    wxBitmap small16 = ThemeIcon(name, 16);
    if (!small16.IsOk()) continue;
    wxBitmap large32 = ThemeIcon(name, 32);
    if (!large32.IsOk()) continue;
    large = large32;
    small = small16;
    return true;
  }
  return false;
}
