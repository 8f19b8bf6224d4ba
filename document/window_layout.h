#pragma once
// The main window's layout kept between runs in a section of its own of
// the settings file, "Window": position, size, maximised state, splitter
// position, the list's display style and its column widths.

#include <vector>

#include <wx/gdicmn.h>

class CSettingsStore;

struct CWindowLayout {
  wxRect m_rect;  // the unmaximised frame; empty: none kept
  bool m_bMaximized = false;
  int m_nSplitter = 0;                 // the tree's width; 0: none kept
  long m_nStyle = 0;                   // wxLC_ICON, wxLC_SMALL_ICON, wxLC_LIST, wxLC_REPORT; 0: none kept
  std::vector<int> m_vecColumnWidths;  // name, size, kind, date, note; empty: none kept
};

// What is missing or unreadable stays "none kept".
CWindowLayout LoadWindowLayout(const CSettingsStore& config);
void SaveWindowLayout(CSettingsStore& config, const CWindowLayout& layout);

// Whether enough of rect (a title bar's worth) lies on one of screens for
// the user to reach the window.
bool RectShowsOnScreens(const wxRect& rect, const std::vector<wxRect>& screens);

// Where a window kept at rect goes, given the screens' work areas: fitted to
// the screen that holds most of it (no larger, and moved inside it). A rect
// that does not show on any screen keeps only its size, fitted to the first
// screen, and wxDefaultCoord as its place, which leaves that to the desktop.
wxRect PlaceOnScreens(const wxRect& rect, const std::vector<wxRect>& screens);
