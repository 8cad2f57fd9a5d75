// The window layer as components see it: dialogs created from templates, the
// Win32 calls that dialog code makes, and the host's UTF-8 wrappers around the calls
// that carry text. On Windows the Win32 calls are the system's own; elsewhere they
// are declared here and go to the host's window_system service. Dialog code written
// against this header is ordinary Win32 dialog code and compiles on both.
#pragma once

#include "sdk/dialog_template.h"
#include "sdk/service.h"
#include "sdk/strings.h"
#include "sdk/win32_types.h"
#include "sdk/window_system.h"

// Creates a dialog from `tpl` as a child of `parent`, runs `proc`'s WM_INITDIALOG
// with `param`, and answers the dialog window; null on failure.
HWND uCreateDialog(const dialog_template& tpl, HWND parent, DLGPROC proc, LPARAM param = 0);

// Text wrappers: UTF-8 in, UTF-8 out, otherwise as the Win32 call they wrap.
BOOL uSetWindowText(HWND window, const char* text);
BOOL uSetDlgItemText(HWND dialog, int id, const char* text);
// Sends a message whose LPARAM is a text (LB_ADDSTRING, CB_ADDSTRING, ...).
LRESULT uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text);
LRESULT uSendDlgItemMessageText(HWND dialog, int id, UINT message, WPARAM wparam, const char* text);
// The window's whole text into `out`; false (out emptied) for a window that does not
// exist.
bool uGetWindowText(HWND window, string_base& out);
bool uGetDlgItemText(HWND dialog, int id, string_base& out);
// Inserts a tab whose item text is UTF-8; answers its index, or -1.
int uTabCtrl_InsertItem(HWND tab, int index, const TCITEMA* item);
// Shows a modal message box; answers the Windows answer code. Without a host (or
// its window system) nobody can be asked and nothing is shown: questions are
// answered IDNO, other boxes IDOK (or IDCANCEL when they have no OK button), so
// that nothing is done unasked.
int uMessageBox(HWND owner, const char* text, const char* caption, UINT style);
// Shows the file dialog: `filter` is "Name|pattern|Name|pattern" with the entry
// `filter_index` (from 1) selected; `default_extension` (no dot) is added to a
// chosen name that has none. `path` holds the initial file name and receives the
// chosen path. Answers false, leaving `path` alone, when the user cancels, and
// without a host, where nobody can choose.
bool uGetOpenFileName(HWND owner, const char* filter, unsigned filter_index,
                      const char* default_extension, const char* title,
                      const char* initial_directory, string_base& path, bool save);

#ifndef _WIN32
// The Win32 calls dialog code makes, with their Win32 meaning.
BOOL IsWindow(HWND window);
BOOL DestroyWindow(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
HWND GetParent(HWND window);
LRESULT SendMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int cx, int cy, BOOL repaint);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);

// The tab control's helpers, which Win32 defines over SendMessage.
inline int TabCtrl_GetCurSel(HWND tab) {
    return int(SendMessage(tab, TCM_GETCURSEL, 0, 0));
}
inline int TabCtrl_SetCurSel(HWND tab, int index) {
    return int(SendMessage(tab, TCM_SETCURSEL, WPARAM(index), 0));
}
inline int TabCtrl_GetItemCount(HWND tab) {
    return int(SendMessage(tab, TCM_GETITEMCOUNT, 0, 0));
}
// larger: the window rectangle for display area `rect`; otherwise the display
// area of window rectangle `rect`.
inline void TabCtrl_AdjustRect(HWND tab, BOOL larger, RECT* rect) {
    SendMessage(tab, TCM_ADJUSTRECT, WPARAM(larger), reinterpret_cast<LPARAM>(rect));
}
#endif
