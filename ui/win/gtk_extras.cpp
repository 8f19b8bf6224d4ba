// The Windows counterparts of the GTK extras: the lock keys from the
// keyboard state; menu keys are only those the labels name.
#include "ui/gtk_extras.h"

#include <memory>

#include <wx/accel.h>
#include <wx/menuitem.h>

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

// Stock ids bring no keys of their own here.
void RemoveItemShortcuts(wxMenuItem*) {}

int CountItemShortcuts(wxMenuItem* item) { return std::unique_ptr<wxAcceleratorEntry>(item->GetAccel()) ? 1 : 0; }

// Windows draws the shortcut named after the label's tab only.
int ItemShortcutTextWidth(wxMenuItem* item) { return item->GetItemLabel().Contains("\t") ? 1 : 0; }
