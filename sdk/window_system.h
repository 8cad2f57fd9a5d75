// The host's windows, as a service: the stand-in host registers one instance and
// the window layer's functions (sdk/window.h) forward to it on systems without
// Win32. Text is UTF-8 in both directions, also in the text messages
// (WM_SETTEXT, LB_ADDSTRING, TCM_INSERTITEMA, ...).
#pragma once

#include "sdk/dialog_template.h"
#include "sdk/service.h"
#include "sdk/strings.h"
#include "sdk/win32_types.h"

// What a file dialog is asked for.
struct file_dialog_request {
    const char* title;              // caption, e.g. "Import config"
    const char* filter;             // "Name|*.ext|All Files (*.*)|*.*"
    unsigned filter_index;          // the filter selected first, counted from 1
    const char* default_extension;  // added to a chosen name without one ("qtg"); may be null
    const char* initial_directory;  // may be null
    bool save;                      // a save dialog; otherwise an open dialog
};

class window_system : public service_base {
public:
    using interface_type = window_system;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0xDC9AE411, 0xF4AB, 0x417F, {0x96, 0x7B, 0x88, 0xE8, 0x1B, 0x41, 0x65, 0x9B}};

    // Creates a dialog and its controls from `tpl` as a child of `parent` (or a
    // top-level window when null), sends WM_INITDIALOG with `param` to `proc`, and
    // answers the dialog; null when the template is unusable or the procedure
    // destroyed the dialog while it started.
    virtual HWND create_dialog(const dialog_template& tpl, HWND parent, DLGPROC proc,
                               LPARAM param) = 0;
    // Sends WM_DESTROY to the window and then to its descendants, and frees them.
    // False for a window that does not exist.
    virtual bool destroy_window(HWND window) = 0;
    // Every operation below answers 0, null or false for a window that does not
    // exist, as Win32 does.
    virtual bool is_window(HWND window) = 0;
    virtual HWND get_dlg_item(HWND dialog, int id) = 0;
    virtual int get_dlg_ctrl_id(HWND window) = 0;
    virtual HWND get_parent(HWND window) = 0;
    virtual LRESULT send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // Answers whether the window was disabled before.
    virtual bool enable_window(HWND window, bool enable) = 0;
    virtual bool is_window_enabled(HWND window) = 0;
    // Answers whether the window was visible before.
    virtual bool show_window(HWND window, int command) = 0;
    // Whether the window and all its ancestors are visible.
    virtual bool is_window_visible(HWND window) = 0;
    // Places the window (x, y relative to its parent's client area, in pixels)
    // and sends WM_WINDOWPOSCHANGED; SWP_ flags as in Win32.
    virtual bool set_window_pos(HWND window, HWND insert_after, int x, int y, int cx, int cy,
                                UINT flags) = 0;
    // The window's rectangle in screen coordinates.
    virtual bool get_window_rect(HWND window, RECT* rect) = 0;
    // The client area: (0, 0) to the window's size.
    virtual bool get_client_rect(HWND window, RECT* rect) = 0;

    // Shows a modal message box; answers the Windows answer code (IDOK, ...).
    virtual int message_box(HWND owner, const char* text, const char* caption, UINT style) = 0;
    // Shows a modal file dialog. `path` holds the initial file name and receives
    // the chosen path; answers false (path untouched) when the user cancels.
    virtual bool get_file_name(HWND owner, const file_dialog_request& request,
                               string_base& path) = 0;

protected:
    ~window_system() = default;
};
