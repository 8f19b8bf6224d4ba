#pragma once
// The font every dialog and property page is laid out in. Dialog units in the
// XRC layouts are measured in the font of the top-level window, so it has to
// be set before the children are created.

#include <wx/font.h>

class wxWindow;

// "IPAPGothic" at 9 points when it is installed, else the system's GUI font.
wxFont GetDialogFont();

// Gives window (a dialog or a sheet) the dialog font; call it right after the
// window is created and before its layout is loaded.
void ApplyDialogFont(wxWindow* window);
