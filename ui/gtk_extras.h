#pragma once
// Two things wx does not offer on GTK, asked of GTK itself: the state of the
// lock keys, and a shortcut shown in a menu item without binding the key.
// The functions are looked up when first used, so the build needs no GTK
// headers; where they are missing, nothing is shown.

class wxMenuItem;

struct CLockKeyState {
  bool m_bCaps = false;
  bool m_bNum = false;
  bool m_bScroll = false;
};

// False when the state cannot be read (no display).
bool ReadLockKeys(CLockKeyState& state);

// Shows Ctrl+<letter> as item's shortcut text; the key stays unbound.
void ShowCtrlShortcutText(wxMenuItem* item, char letter);

// Unbinds every key of item: GTK gives items with a stock id the stock's key
// (Ctrl+Q for exit) when their text names none.
void RemoveItemShortcuts(wxMenuItem* item);
// How many keys are bound to item.
int CountItemShortcuts(wxMenuItem* item);
// The width of the shortcut text item shows, 0 when it shows none.
int ItemShortcutTextWidth(wxMenuItem* item);
