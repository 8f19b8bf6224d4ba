#include "ui/mount_watch.h"

#include <wx/window.h>

#include <algorithm>
#include <vector>

#include <windows.h>
#include <dbt.h>

struct CMountWatch::CImpl {
  wxWindow* pWindow = nullptr;
  std::function<void()> changed;
};

namespace {

// wx keeps one handler per message for every window; it hands each
// WM_DEVICECHANGE to the watches of the window that got it.
std::vector<CMountWatch::CImpl*> g_watches;

bool OnDeviceChange(wxWindowMSW* window, WXUINT, WXWPARAM wParam, WXLPARAM) {
  if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) return false;
  const std::vector<CMountWatch::CImpl*> watches = g_watches;  // changed may end a watch
  for (CMountWatch::CImpl* watch : watches)
    if (watch->pWindow == window && std::find(g_watches.begin(), g_watches.end(), watch) != g_watches.end())
      watch->changed();
  return false;  // the default handling goes on
}

}  // namespace

CMountWatch::CMountWatch(wxWindow* window, std::function<void()> changed) : m_pImpl(std::make_unique<CImpl>()) {
  m_pImpl->pWindow = window;
  m_pImpl->changed = std::move(changed);
  if (g_watches.empty()) wxWindow::MSWRegisterMessageHandler(WM_DEVICECHANGE, OnDeviceChange);
  g_watches.push_back(m_pImpl.get());
}

CMountWatch::~CMountWatch() {
  g_watches.erase(std::remove(g_watches.begin(), g_watches.end(), m_pImpl.get()), g_watches.end());
  if (g_watches.empty()) wxWindow::MSWUnregisterMessageHandler(WM_DEVICECHANGE, OnDeviceChange);
}
