#pragma once
// Command ids of the main frame's own commands and of the keys that are
// bound to nothing. The views' and the document's ids are in
// document/command_ids.h; the file commands use wx's standard ids. Like
// those, these stay below 0x7fff, the highest id wx menus accept.

enum : int {
  ID_EDIT_COPY_KEY = 24866,   // Ctrl+Insert: no handler
  ID_EDIT_CUT_KEY = 24867,    // Ctrl+X, Shift+Delete: no handler
  ID_EDIT_PASTE_KEY = 24869,  // Ctrl+V, Shift+Insert: no handler
  ID_EDIT_UNDO_KEY = 24875,   // Ctrl+Z, Alt+Backspace: no handler
  ID_NEXT_PANE = 24912,       // F6
  ID_PREV_PANE = 24913,       // Shift+F6
  ID_VIEW_TOOLBAR = 26624,
  ID_VIEW_STATUS_BAR = 26625,
  ID_VIEW_SMALLICON = 26640,
  ID_VIEW_LARGEICON = 26641,
  ID_VIEW_LIST = 26642,
  ID_VIEW_DETAILS = 26643,
  ID_UPDATE_CONNECTED = 26656,  // the info bar's button: update the medium just connected
};

// The list control style (wxLC_ICON, wxLC_SMALL_ICON, wxLC_LIST, wxLC_REPORT)
// of a display-style command; 0 for other ids.
long ListStyleForCommand(int id);
