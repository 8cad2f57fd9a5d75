// The dialog templates of the preferences page, as data: the tab host with its tab
// control, the general tab and the context-menu commands tab, and the ids of
// their controls. The page's dialog code addresses controls by these ids.
#pragma once

#include "sdk/dialog_template.h"

// Tab host.
inline constexpr int IDC_TABS = 1078;

// General tab.
inline constexpr int IDC_STORAGE_METHOD = 1081;
inline constexpr int IDC_COPY_DATA = 1082;
inline constexpr int IDC_SWITCH = 1022;
inline constexpr int IDC_FUNCTION_PROCESSING = 1083;
inline constexpr int IDC_FIELD_PROCESSING = 1084;
inline constexpr int IDC_CLEAR_CONTENTS = 1032;
inline constexpr int IDC_STORAGE_STATISTICS = 1086;
inline constexpr int IDC_LIBRARY_ONLY = 1087;
inline constexpr int IDC_REMOVE_DEAD_ENTRIES = 1029;

// Context-menu commands tab.
inline constexpr int IDC_CONTEXT_MENU_ENABLED = 1045;
inline constexpr int IDC_COMMAND_LIST = 1062;
inline constexpr int IDC_SORT = 1063;
inline constexpr int IDC_NEW = 1026;
inline constexpr int IDC_REMOVE = 1027;
inline constexpr int IDC_DISPLAY_NAME = 1008;
inline constexpr int IDC_FIELD_NAME = 1006;
inline constexpr int IDC_VALUE = 1007;
inline constexpr int IDC_TITLEFORMAT_VALUES = 1064;
inline constexpr int IDC_REMOVE_EMPTY = 1065;
inline constexpr int IDC_IMPORT = 1039;
inline constexpr int IDC_EXPORT = 1040;
inline constexpr int IDC_RESET = 1038;

// The text of check box IDC_FUNCTION_PROCESSING, which its template leaves empty
// and the page sets when it creates the general tab.
inline constexpr const char* function_processing_text =
    "Enable function processing in titleformatting scripts. You can access tagshelf fields "
    "using functions $shelf(X,Y), $shelf_num(X), $shelf_sep(X,Y,Z) and $shelf_list(X,Y). "
    "Disabling this may improve performance.";

// The window that carries the tab control and, inside it, both tabs.
const dialog_template& prefs_tab_host_template();
// Storage method, maintenance and title-formatting options.
const dialog_template& prefs_general_tab_template();
// The quick-tag command list and the context-menu options.
const dialog_template& prefs_commands_tab_template();
