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

void ShowCtrlShortcutText(wxMenuItem* item, char letter) {
#ifdef __WXGTK__
  static const auto getChild = Lookup<CGetChild>("gtk_bin_get_child");
  static const auto setAccel = Lookup<CSetAccel>("gtk_accel_label_set_accel");
  static const auto labelType = Lookup<CGetType>("gtk_accel_label_get_type");
  static const auto isA = Lookup<CIsA>("g_type_check_instance_is_a");
  if (!item || !getChild || !setAccel || !labelType || !isA) return;
  void* widget = item->GetMenuItem();
  void* label = widget ? getChild(widget) : nullptr;
  if (!label || !isA(label, labelType())) return;
  // GDK key values of the lower-case ASCII letters are their codes.
  setAccel(label, unsigned(letter), kControlMask);
#else
  (void)item;
  (void)letter;
#endif
}

namespace {

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

void RemoveItemShortcuts(wxMenuItem* item) {
  static const auto groupOf = Lookup<CGroupFromClosure>("gtk_accel_group_from_accel_closure");
  static const auto disconnect = Lookup<CDisconnect>("gtk_accel_group_disconnect");
  if (!groupOf || !disconnect) return;
  for (void* closure : ItemShortcuts(item))
    if (void* group = groupOf(closure)) disconnect(group, closure);
}

int CountItemShortcuts(wxMenuItem* item) { return int(ItemShortcuts(item).size()); }
