#pragma once
// The program's own icon, drawn from its vector image at any size.

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

// At 32×32 logical pixels, sharp at any scale.
wxBitmapBundle GetAppIcon();
// The window icon in the sizes desktops ask for.
wxIconBundle GetAppIconBundle();
