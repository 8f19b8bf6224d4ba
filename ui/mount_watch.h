#pragma once
// Tells the main window when media come and go: changed runs on the GUI
// thread after the system's mounts changed (GIO's mount monitor on Linux,
// WM_DEVICECHANGE on Windows). What changed is for the caller to compare.

#include <functional>
#include <memory>

class wxWindow;

class CMountWatch {
 public:
  // window: the top-level window the system tells (Windows); changed is
  // not called once the watch is destroyed.
  CMountWatch(wxWindow* window, std::function<void()> changed);
  ~CMountWatch();
  CMountWatch(const CMountWatch&) = delete;
  CMountWatch& operator=(const CMountWatch&) = delete;

  struct CImpl;

 private:
  std::unique_ptr<CImpl> m_pImpl;
};
