// Small conveniences over the window layer for the page's dialog code: check
// marks and enabled states of a dialog's controls, by id.
#pragma once

#include "sdk/window.h"
#include "service/report_error.h"

inline bool is_checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

inline void set_checked(HWND dialog, int id, bool on) {
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

inline void enable_control(HWND dialog, int id, bool on) {
    EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

inline bool is_enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// The dialog procedure of a tab that answers only WM_COMMAND: hands the control id
// and notification code to `on_command`. The host calls in here for every user
// action, so nothing may escape into it.
inline INT_PTR dispatch_tab_command(HWND tab, UINT message, WPARAM wparam,
                                    void (*on_command)(HWND tab, int id, int code)) {
    if (message != WM_COMMAND)
        return FALSE;
    try {
        on_command(tab, LOWORD(wparam), HIWORD(wparam));
    } catch (...) {
        report_current_error("Preferences page action failed", false);
    }
    return TRUE;
}
