#include "ui/gtk_extras.h"

#include <dlfcn.h>

#include <vector>

#include <wx/menuitem.h>

namespace {

template <class F>
F Lookup(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

using CGetDefault = void* (*)();
using CGetKeymap = void* (*)(void*);
using CKeymapFlag = int (*)(void*);
using CGetChild = void* (*)(void*);
using CSetAccel = void (*)(void*, unsigned, unsigned);
using CGetType = unsigned long (*)();
using CIsA = int (*)(void*, unsigned long);

using CListClosures = struct _GList* (*)(void*);
using CGroupFromClosure = void* (*)(void*);
using CDisconnect = int (*)(void*, void*);
using CListFree = void (*)(struct _GList*);
using CSetClosure = void (*)(void*, void*);
using CGetWidth = void (*)(void*, int*, int*);
using CAccelWidth = unsigned (*)(void*);

// The first two fields of GLib's list node, enough to walk it.
struct CListNode {
  void* m_pData;
  CListNode* m_pNext;
};

constexpr unsigned kControlMask = 1u << 2;  // GDK_CONTROL_MASK

}  // namespace

bool ReadLockKeys(CLockKeyState& state) {
  static const auto getDisplay = Lookup<CGetDefault>("gdk_display_get_default");
  static const auto getKeymap = Lookup<CGetKeymap>("gdk_keymap_get_for_display");
  static const auto caps = Lookup<CKeymapFlag>("gdk_keymap_get_caps_lock_state");
  static const auto num = Lookup<CKeymapFlag>("gdk_keymap_get_num_lock_state");
  static const auto scroll = Lookup<CKeymapFlag>("gdk_keymap_get_scroll_lock_state");
  if (!getDisplay || !getKeymap || !caps || !num) return false;
  void* display = getDisplay();
  void* keymap = display ? getKeymap(display) : nullptr;
  if (!keymap) return false;
  state.m_bCaps = caps(keymap) != 0;
  state.m_bNum = num(keymap) != 0;
  state.m_bScroll = scroll && scroll(keymap) != 0;
  return true;
}

namespace {

// The accelerator label inside item's GTK widget, if it has one.
void* ItemAccelLabel(wxMenuItem* item) {
#ifdef __WXGTK__
  static const auto getChild = Lookup<CGetChild>("gtk_bin_get_child");
  static const auto labelType = Lookup<CGetType>("gtk_accel_label_get_type");
  static const auto isA = Lookup<CIsA>("g_type_check_instance_is_a");
  void* widget = item ? item->GetMenuItem() : nullptr;
  if (!widget || !getChild || !labelType || !isA) return nullptr;
  void* label = getChild(widget);
  return label && isA(label, labelType()) ? label : nullptr;
#else
  (void)item;
  return nullptr;
#endif
}

// The accelerator closures of item's GTK widget.
std::vector<void*> ItemShortcuts(wxMenuItem* item) {
  std::vector<void*> closures;
#ifdef __WXGTK__
  static const auto list = Lookup<CListClosures>("gtk_widget_list_accel_closures");
  static const auto listFree = Lookup<CListFree>("g_list_free");
  void* widget = item ? item->GetMenuItem() : nullptr;
  if (!widget || !list || !listFree) return closures;
  struct _GList* head = list(widget);
  for (auto* node = reinterpret_cast<CListNode*>(head); node; node = node->m_pNext) closures.push_back(node->m_pData);
  listFree(head);
#else
  (void)item;
#endif
  return closures;
}

}  // namespace

void ShowCtrlShortcutText(wxMenuItem* item, char letter) {
  static const auto setAccel = Lookup<CSetAccel>("gtk_accel_label_set_accel");
  // GDK key values of the lower-case ASCII letters are their codes.
  if (void* label = ItemAccelLabel(item); label && setAccel) setAccel(label, unsigned(letter), kControlMask);
}

void RemoveItemShortcuts(wxMenuItem* item) {
  static const auto groupOf = Lookup<CGroupFromClosure>("gtk_accel_group_from_accel_closure");
  static const auto disconnect = Lookup<CDisconnect>("gtk_accel_group_disconnect");
  static const auto setClosure = Lookup<CSetClosure>("gtk_accel_label_set_accel_closure");
  if (!groupOf || !disconnect) return;
  const std::vector<void*> closures = ItemShortcuts(item);
  for (void* closure : closures)
    if (void* group = groupOf(closure)) disconnect(group, closure);
  // The label keeps the closure it showed and, finding no key for it any
  // more, would draw "-/-" as the item's shortcut.
  if (void* label = ItemAccelLabel(item); label && setClosure && !closures.empty()) setClosure(label, nullptr);
}

int ItemShortcutTextWidth(wxMenuItem* item) {
  static const auto preferredWidth = Lookup<CGetWidth>("gtk_widget_get_preferred_width");
  static const auto accelWidth = Lookup<CAccelWidth>("gtk_accel_label_get_accel_width");
  void* label = ItemAccelLabel(item);
  if (!label || !preferredWidth || !accelWidth) return 0;
  int minimum = 0, natural = 0;
  preferredWidth(label, &minimum, &natural);  // measures the shortcut text
  return int(accelWidth(label));
}

int CountItemShortcuts(wxMenuItem* item) { return int(ItemShortcuts(item).size()); }
