// One window and everything a user could see of it: text, place, enabled and
// visible state, and the state of the control it is (check mark, combo and list
// lines with their selection, tab items). The headless window layer keeps its
// windows as these records; the system's windows are read into one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sdk/dialog_template.h"

// What a window is, as a user would name it.
enum class window_kind {
    frame,  // a window of the host itself
    dialog,
    push_button,
    check_box,
    group_box,
    label,
    edit,
    combo_box,
    list_box,
    tab_control,
};

// The kind a control of class `cls` with Windows style `style` is.
window_kind control_kind(control_class cls, DWORD style);
// "push button", "check box", ... as `prefs show` prints it.
std::string_view kind_name(window_kind kind);

struct window_state {
    HWND handle = nullptr;
    HWND parent = nullptr;
    std::vector<HWND> children;  // in creation (tab) order
    window_kind kind = window_kind::frame;
    DWORD style = 0;
    int id = 0;
    std::string text;
    RECT rect{};  // in pixels, relative to the parent's client area
    bool enabled = true;
    bool visible = false;  // the window's own flag; ancestors may still hide it
    bool redraw = true;    // WM_SETREDRAW
    bool destroying = false;

    // Dialogs: the procedure, its font and the pixels per 4 horizontal and per 8
    // vertical dialog units.
    DLGPROC proc = nullptr;
    std::string font;
    int font_size = 0;
    int base_x = 0;
    int base_y = 0;

    // Controls.
    WPARAM check = BST_UNCHECKED;
    std::vector<std::string> items;  // combo and list lines, tab texts
    int selection = -1;              // selected item, or -1

    bool has_style(DWORD bits) const { return (style & bits) == bits; }
    bool is_multiline_edit() const { return kind == window_kind::edit && has_style(ES_MULTILINE); }
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

// "check box 1082 \"Copy all data ...\"": a control as a message to the user names
// it, with the first line of its text.
std::string control_name(const window_state& window);
// The text up to its first line break.
std::string first_line(std::string_view text);
