#pragma once
// The main window's menu bar, context menu, toolbar buttons and keys.

#include <vector>

#include <wx/accel.h>

class wxMenu;
class wxMenuBar;
class wxToolBar;

// The menu bar with its four popups.
wxMenuBar* CreateMainMenuBar();

// Every menu of bar, its submenus included.
std::vector<wxMenu*> AllMenus(wxMenuBar* bar);

// The context menu both views show.
wxMenu* CreateContextMenu();

// The eleven toolbar buttons with their gaps, tooltips and prompts.
void AddMainTools(wxToolBar* toolbar);

// The keys of the main window. Delete deletes a catalog (the menu shows
// Ctrl+D, which is bound to nothing); the paste, copy, cut and undo keys are
// bound to commands nobody handles, so they do nothing.
std::vector<wxAcceleratorEntry> MainAcceleratorEntries();
