#pragma once
// The program's own icon.

#include <wx/bitmap.h>
#include <wx/icon.h>

wxBitmap GetAppIcon();
wxIcon GetAppIconAsIcon();
