#pragma once
// Opening the manual, Manual/index.htm next to the program (or, for an
// installed program in PREFIX/bin, PREFIX/share/quarrix/Manual/index.htm),
// in the desktop's default web browser.

#include <string>

class wxWindow;
typedef struct _GAppInfo GAppInfo;

// The manual's path for the program at programPath; empty when programPath
// has no folder part.
std::string ManualPathFor(const std::string& programPath);

// The manual an installed program has: PREFIX/share/quarrix/Manual/index.htm
// for a program in PREFIX/bin; empty otherwise.
std::string InstalledManualPathFor(const std::string& programPath);

// Looks up the default browser and the program's path and opens the manual;
// failures end in a message box over parent.
void OpenHelpContents(wxWindow* parent);

// The same with the browser (null: none is set) and the program's path
// (empty: unknown) given.
void OpenManualWith(GAppInfo* browser, const std::string& programPath, wxWindow* parent);
