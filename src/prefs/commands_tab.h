// The "Context menu commands" tab of the preferences page: the quick-tag command
// list, edited in place. List line i always shows command i; the details of the
// selected command are edited as the user types, with no apply step and no undo.
// The tab also adds, removes, sorts, resets, imports and exports commands and sets
// the options of the context-menu commands.
#pragma once

#include "sdk/win32_types.h"

// The tab's dialog procedure, for a window made from prefs_commands_tab_template().
INT_PTR CALLBACK commands_tab_proc(HWND tab, UINT message, WPARAM wparam, LPARAM lparam);

// Fills the list from the command list and the option boxes from the settings,
// keeping the selected line number when the list still has it.
void refresh_command_tab(HWND tab);

// Enables or disables the three detail edits; disabling empties them first.
void enable_detail_edits(HWND tab, bool on);
