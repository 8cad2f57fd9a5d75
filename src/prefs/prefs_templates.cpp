#include "prefs/prefs_templates.h"

namespace {

// Every page window is a child without caption, in the dialog font; the tab host
// shows at once, the tabs start hidden until the page shows the selected one.
constexpr DWORD tab_host_style = WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT;
constexpr DWORD tab_style = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr const char* font = "Tahoma";
constexpr int font_size = 8;

// Controls are visible children, as a resource compiler makes them.
constexpr DWORD control = WS_CHILD | WS_VISIBLE;
constexpr DWORD push_button = control | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD check_box = control | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD multiline_check_box = check_box | BS_MULTILINE;
constexpr DWORD group_box = control | BS_GROUPBOX;
constexpr DWORD label = control | SS_LEFT;
constexpr DWORD single_line_edit = control | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;

constexpr dialog_control tab_host_controls[] = {
    {IDC_TABS, control_class::tab_control, "", 2, 2, 325, 280, control | WS_TABSTOP},
};

constexpr dialog_control general_tab_controls[] = {
    {IDC_STORAGE_METHOD, control_class::combo_box, "", 13, 83, 259, 30,
     control | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
    {IDC_COPY_DATA, control_class::button, "Copy all data from current storage (slow!).", 72, 105,
     153, 10, check_box | WS_DISABLED},
    {IDC_SWITCH, control_class::button, "Switch", 13, 102, 46, 14, push_button},
    {IDC_FUNCTION_PROCESSING, control_class::button, "", 5, 177, 300, 44, multiline_check_box},
    {IDC_FIELD_PROCESSING, control_class::button,
     "Enable field processing in title formatting scripts. This allows you to use simple "
     "variables like %RATING% in your scripts to access tagshelf data. Disabling this may "
     "improve performance.",
     5, 143, 300, 31, multiline_check_box},
    {IDC_CLEAR_CONTENTS, control_class::button, "Clear contents", 215, 16, 79, 14, push_button},
    {IDC_STATIC, control_class::button, "Active storage:", 5, 7, 300, 48, group_box},
    {IDC_STORAGE_STATISTICS, control_class::static_text, "None", 20, 20, 190, 29,
     control | SS_LEFTNOWORDWRAP},
    {IDC_STATIC, control_class::button, "Storage method selection:", 5, 67, 300, 57, group_box},
    {IDC_LIBRARY_ONLY, control_class::button,
     "Store information for media library entries only. All fields for non-library entries "
     "are removed when info storage is loaded.",
     5, 226, 300, 20, multiline_check_box},
    {IDC_REMOVE_DEAD_ENTRIES, control_class::button, "Remove dead entries", 215, 33, 79, 14,
     push_button},
};

constexpr dialog_control commands_tab_controls[] = {
    {IDC_CONTEXT_MENU_ENABLED, control_class::button, "Add context menu items", 5, 7, 93, 10,
     multiline_check_box},
    {IDC_STATIC, control_class::button, "Tag items", 5, 19, 306, 89, group_box},
    {IDC_COMMAND_LIST, control_class::list_box, "", 14, 30, 291, 74,
     control | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
    {IDC_SORT, control_class::button, "Sort", 5, 112, 38, 14, push_button},
    {IDC_NEW, control_class::button, "New", 180, 112, 38, 14, push_button},
    {IDC_REMOVE, control_class::button, "Remove", 224, 112, 38, 14, push_button},
    {IDC_STATIC, control_class::button, "Details", 5, 131, 306, 94, group_box},
    {IDC_STATIC, control_class::static_text, "Display name", 13, 146, 45, 8, label},
    {IDC_DISPLAY_NAME, control_class::edit, "", 59, 144, 246, 13, single_line_edit | WS_DISABLED},
    {IDC_STATIC, control_class::static_text, "Field Name", 13, 165, 36, 8, label},
    {IDC_FIELD_NAME, control_class::edit, "", 59, 163, 246, 13,
     single_line_edit | ES_UPPERCASE | WS_DISABLED},
    {IDC_STATIC, control_class::static_text, "Value", 13, 183, 36, 8, label},
    {IDC_VALUE, control_class::edit, "", 59, 182, 246, 38,
     control | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_WANTRETURN |
         ES_AUTOVSCROLL | WS_DISABLED},
    {IDC_TITLEFORMAT_VALUES, control_class::button,
     "Use value string to titleformat track for actual value", 5, 230, 181, 10, check_box},
    {IDC_REMOVE_EMPTY, control_class::button,
     "Instead of writing an empty value, remove field (use with caution!)", 5, 243, 230, 10,
     check_box},
    {IDC_IMPORT, control_class::button, "Import", 205, 3, 50, 14, push_button},
    {IDC_EXPORT, control_class::button, "Export", 261, 3, 50, 14, push_button},
    {IDC_RESET, control_class::button, "Reset", 267, 112, 38, 14, push_button},
};

constexpr dialog_template tab_host =
    make_dialog_template(332, 296, font, font_size, tab_host_style, tab_host_controls);
constexpr dialog_template general_tab =
    make_dialog_template(313, 293, font, font_size, tab_style, general_tab_controls);
constexpr dialog_template commands_tab =
    make_dialog_template(319, 289, font, font_size, tab_style, commands_tab_controls);

}  // namespace

const dialog_template& prefs_tab_host_template() {
    return tab_host;
}

const dialog_template& prefs_general_tab_template() {
    return general_tab;
}

const dialog_template& prefs_commands_tab_template() {
    return commands_tab;
}
