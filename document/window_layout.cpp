#include "document/window_layout.h"

#include <wx/confbase.h>
#include <wx/listbase.h>
#include <wx/tokenzr.h>

namespace {

const char kSection[] = "/Window/";

struct CStyleName {
  long m_nStyle;
  const char* m_pszName;
};
const CStyleName kStyleNames[] = {
    {wxLC_ICON, "icon"}, {wxLC_SMALL_ICON, "smallicon"}, {wxLC_LIST, "list"}, {wxLC_REPORT, "report"}};

wxString Key(const char* name) { return wxString(kSection) + name; }

}  // namespace

CWindowLayout LoadWindowLayout(wxConfigBase& config) {
  CWindowLayout layout;
  long x = 0, y = 0, width = 0, height = 0;
  if (config.Read(Key("X"), &x) && config.Read(Key("Y"), &y) && config.Read(Key("Width"), &width) &&
      config.Read(Key("Height"), &height) && width > 0 && height > 0 && width < 100000 && height < 100000 &&
      x > -100000 && x < 100000 && y > -100000 && y < 100000)
    layout.m_rect = wxRect(int(x), int(y), int(width), int(height));
  layout.m_bMaximized = config.ReadBool(Key("Maximized"), false);
  const long splitter = config.ReadLong(Key("Splitter"), 0);
  if (splitter > 0 && splitter < 100000) layout.m_nSplitter = int(splitter);
  const wxString style = config.Read(Key("Style"), wxString());
  for (const CStyleName& name : kStyleNames)
    if (style == name.m_pszName) layout.m_nStyle = name.m_nStyle;
  std::vector<int> widths;
  wxStringTokenizer columns(config.Read(Key("Columns"), wxString()), ",");
  while (columns.HasMoreTokens()) {
    long width = 0;
    if (!columns.GetNextToken().ToLong(&width) || width < 0 || width > 10000) return layout;
    widths.push_back(int(width));
  }
  if (widths.size() == 5) layout.m_vecColumnWidths = widths;
  return layout;
}

void SaveWindowLayout(wxConfigBase& config, const CWindowLayout& layout) {
  if (!layout.m_rect.IsEmpty()) {
    config.Write(Key("X"), long(layout.m_rect.x));
    config.Write(Key("Y"), long(layout.m_rect.y));
    config.Write(Key("Width"), long(layout.m_rect.width));
    config.Write(Key("Height"), long(layout.m_rect.height));
  }
  config.Write(Key("Maximized"), layout.m_bMaximized);
  if (layout.m_nSplitter > 0) config.Write(Key("Splitter"), long(layout.m_nSplitter));
  for (const CStyleName& name : kStyleNames)
    if (layout.m_nStyle == name.m_nStyle) config.Write(Key("Style"), wxString(name.m_pszName));
  if (!layout.m_vecColumnWidths.empty()) {
    wxString columns;
    for (int width : layout.m_vecColumnWidths) columns << (columns.empty() ? "" : ",") << width;
    config.Write(Key("Columns"), columns);
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
