// The Windows counterparts of the GTK extras: the lock keys from the
// keyboard state.
#include "ui/gtk_extras.h"

#include <windows.h>

bool ReadLockKeys(CLockKeyState& state) {
  state.m_bCaps = (GetKeyState(VK_CAPITAL) & 1) != 0;
  state.m_bNum = (GetKeyState(VK_NUMLOCK) & 1) != 0;
  state.m_bScroll = (GetKeyState(VK_SCROLL) & 1) != 0;
  return true;
}

// A menu label's "\tCtrl+D" would bind the key in the frame's accelerator
// table on Windows; the shortcut is left unshown rather than bound.
void ShowCtrlShortcutText(wxMenuItem*, char) {}
