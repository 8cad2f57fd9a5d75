// The window that carries the preferences page's tab control and both tabs: it
// builds them, shows the tab the user chose, keeps both tabs in the tab control's
// display area, and remembers the last tab when the page closes.
#pragma once

#include "sdk/win32_types.h"

// Builds the tab host with both tabs as a child of `parent` and fills the tabs;
// answers the tab host window, or null when the window system made none.
HWND create_tab_host(HWND parent);
