#include "document/window_layout.h"

#include <wx/listbase.h>
#include <wx/tokenzr.h>

#include <algorithm>

#include "document/settings_store.h"

namespace {

const char kSection[] = "Window";

struct CStyleName {
  long m_nStyle;
  const char* m_pszName;
};
const CStyleName kStyleNames[] = {
    {wxLC_ICON, "icon"}, {wxLC_SMALL_ICON, "smallicon"}, {wxLC_LIST, "list"}, {wxLC_REPORT, "report"}};

}  // namespace

CWindowLayout LoadWindowLayout(const CSettingsStore& config) {
  CWindowLayout layout;
  const long x = config.GetInt(kSection, "X", -100000), y = config.GetInt(kSection, "Y", -100000);
  const long width = config.GetInt(kSection, "Width", 0), height = config.GetInt(kSection, "Height", 0);
  if (width > 0 && height > 0 && width < 100000 && height < 100000 && x > -100000 && x < 100000 && y > -100000 &&
      y < 100000)
    layout.m_rect = wxRect(int(x), int(y), int(width), int(height));
  layout.m_bMaximized = config.GetInt(kSection, "Maximized", 0) != 0;
  const long splitter = config.GetInt(kSection, "Splitter", 0);
  if (splitter > 0 && splitter < 100000) layout.m_nSplitter = int(splitter);
  const std::string style = config.GetString(kSection, "Style");
  for (const CStyleName& name : kStyleNames)
    if (style == name.m_pszName) layout.m_nStyle = name.m_nStyle;
  std::vector<int> widths;
  wxStringTokenizer columns(wxString::FromUTF8(config.GetString(kSection, "Columns")), ",");
  while (columns.HasMoreTokens()) {
    long width = 0;
    if (!columns.GetNextToken().ToLong(&width) || width < 0 || width > 10000) return layout;
    widths.push_back(int(width));
  }
  if (widths.size() == 5) layout.m_vecColumnWidths = widths;
  return layout;
}

void SaveWindowLayout(CSettingsStore& config, const CWindowLayout& layout) {
  if (!layout.m_rect.IsEmpty()) {
    config.SetInt(kSection, "X", layout.m_rect.x);
    config.SetInt(kSection, "Y", layout.m_rect.y);
    config.SetInt(kSection, "Width", layout.m_rect.width);
    config.SetInt(kSection, "Height", layout.m_rect.height);
  }
  config.SetInt(kSection, "Maximized", layout.m_bMaximized ? 1 : 0);
  if (layout.m_nSplitter > 0) config.SetInt(kSection, "Splitter", layout.m_nSplitter);
  for (const CStyleName& name : kStyleNames)
    if (layout.m_nStyle == name.m_nStyle) config.SetString(kSection, "Style", name.m_pszName);
  if (!layout.m_vecColumnWidths.empty()) {
    std::string columns;
    for (int width : layout.m_vecColumnWidths) columns += (columns.empty() ? "" : ",") + std::to_string(width);
    config.SetString(kSection, "Columns", columns);
  }
  config.Flush();
}

bool RectShowsOnScreens(const wxRect& rect, const std::vector<wxRect>& screens) {
  for (const wxRect& screen : screens) {
    const wxRect common = rect.Intersect(screen);
    if (common.width >= 40 && common.height >= 20) return true;
  }
  return false;
}

wxRect PlaceOnScreens(const wxRect& rect, const std::vector<wxRect>& screens) {
  if (screens.empty()) return rect;
  const bool shows = RectShowsOnScreens(rect, screens);
  const wxRect* holder = &screens.front();
  long most = -1;
  for (const wxRect& screen : screens) {
    const wxRect common = rect.Intersect(screen);
    const long area = common.IsEmpty() ? 0 : long(common.width) * common.height;
    if (shows && area > most) most = area, holder = &screen;
  }
  wxRect placed(rect.GetPosition(), wxSize(std::min(rect.width, holder->width), std::min(rect.height, holder->height)));
  if (!shows) return wxRect(wxDefaultCoord, wxDefaultCoord, placed.width, placed.height);
  placed.x = std::max(holder->x, std::min(placed.x, holder->GetRight() + 1 - placed.width));
  placed.y = std::max(holder->y, std::min(placed.y, holder->GetBottom() + 1 - placed.height));
  return placed;
}
