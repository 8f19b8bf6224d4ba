#pragma once
// Dialog layouts compiled from resources/*.xrc.
//
// A dialog's layout is an XRC wxPanel (no frame) whose size and control
// positions are in dialog units ("7,19d"). The dialog class creates its own
// window, gives it the dialog font and then loads the panel into itself, so
// that every dialog unit is measured in that font.

class wxDialog;
class wxPanel;
class wxWindow;

// Registers the XRC handlers and the compiled layouts; safe to call often.
void EnsureXrcLoaded();

// Loads the XRC panel xrcName as the whole client area of dialog (which must
// already carry its font) and sizes the dialog to it. Null when the layout is
// missing.
wxPanel* LoadDialogLayout(wxDialog* dialog, const char* xrcName);

// Creates panel itself (default-constructed, not yet created) from the XRC
// panel xrcName as a child of parent; used for property pages.
bool LoadPanelLayout(wxPanel* panel, wxWindow* parent, const char* xrcName);
