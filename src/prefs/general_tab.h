// The "General" tab of the preferences page: which storage method is active and
// how much it holds, switching to another method (optionally copying the data),
// clearing and cleaning the active storage, and the title-formatting and
// library-only options. Every action is carried out by the tagshelf service; the
// tab asks for confirmation, calls, and shows the outcome.
#pragma once

#include "sdk/win32_types.h"

// The tab's dialog procedure, for a window made from prefs_general_tab_template().
INT_PTR CALLBACK general_tab_proc(HWND tab, UINT message, WPARAM wparam, LPARAM lparam);

// Fills the tab from the storage state and the settings: the statistics, the
// storage methods with the active one selected, the maintenance buttons enabled
// only while a storage is active, Switch and the copy box disabled until another
// method is chosen, and the three option boxes.
void refresh_general_tab(HWND tab);
