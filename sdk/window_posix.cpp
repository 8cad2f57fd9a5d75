// The window layer on systems without Win32: every call goes to the host's
// window_system service, looked up on each call so that it always reaches the
// current host session. Without a window system the calls fail as Win32 calls on
// a window that does not exist do.
#include "sdk/window.h"

#include <string>

#include "sdk/host_access.h"
#include "sdk/unasked_answer.h"

namespace {

service_ptr_t<window_system> windows() {
    return service_find_first<window_system>();
}

}  // namespace

HWND uCreateDialog(const dialog_template& tpl, HWND parent, DLGPROC proc, LPARAM param) {
    auto system = windows();
    return system ? system->create_dialog(tpl, parent, proc, param) : nullptr;
}

BOOL uSetWindowText(HWND window, const char* text) {
    return uSendMessageText(window, WM_SETTEXT, 0, text) != 0;
}

BOOL uSetDlgItemText(HWND dialog, int id, const char* text) {
    return uSetWindowText(GetDlgItem(dialog, id), text);
}

LRESULT uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text) {
    return SendMessage(window, message, wparam, reinterpret_cast<LPARAM>(text ? text : ""));
}

LRESULT uSendDlgItemMessageText(HWND dialog, int id, UINT message, WPARAM wparam,
                                const char* text) {
    return uSendMessageText(GetDlgItem(dialog, id), message, wparam, text);
}

bool uGetWindowText(HWND window, string_base& out) {
    out.reset();
    auto system = windows();
    if (!system || !system->is_window(window))
        return false;
    LRESULT length = system->send_message(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return true;
    std::string buffer(size_t(length) + 1, '\0');
    LRESULT copied = system->send_message(window, WM_GETTEXT, WPARAM(buffer.size()),
                                          reinterpret_cast<LPARAM>(buffer.data()));
    out.set_string(buffer.data(), size_t(copied > 0 ? copied : 0));
    return true;
}

bool uGetDlgItemText(HWND dialog, int id, string_base& out) {
    return uGetWindowText(GetDlgItem(dialog, id), out);
}

int uTabCtrl_InsertItem(HWND tab, int index, const TCITEMA* item) {
    return int(SendMessage(tab, TCM_INSERTITEMA, WPARAM(index), reinterpret_cast<LPARAM>(item)));
}

int uMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    auto system = windows();
    if (!system)
        return unasked_message_box_answer(style);
    return system->message_box(owner, text ? text : "", caption ? caption : "", style);
}

bool uGetOpenFileName(HWND owner, const char* filter, unsigned filter_index,
                      const char* default_extension, const char* title,
                      const char* initial_directory, string_base& path, bool save) {
    auto system = windows();
    if (!system)
        return false;
    file_dialog_request request{title ? title : "", filter ? filter : "", filter_index,
                                default_extension,  initial_directory,    save};
    return system->get_file_name(owner, request, path);
}

BOOL IsWindow(HWND window) {
    auto system = windows();
    return system && system->is_window(window);
}

BOOL DestroyWindow(HWND window) {
    auto system = windows();
    return system && system->destroy_window(window);
}

HWND GetDlgItem(HWND dialog, int id) {
    auto system = windows();
    return system ? system->get_dlg_item(dialog, id) : nullptr;
}

int GetDlgCtrlID(HWND window) {
    auto system = windows();
    return system ? system->get_dlg_ctrl_id(window) : 0;
}

HWND GetParent(HWND window) {
    auto system = windows();
    return system ? system->get_parent(window) : nullptr;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto system = windows();
    return system ? system->send_message(window, message, wparam, lparam) : 0;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
    return SendMessage(GetDlgItem(dialog, id), message, wparam, lparam);
}

BOOL EnableWindow(HWND window, BOOL enable) {
    auto system = windows();
    return system && system->enable_window(window, enable != FALSE);
}

BOOL IsWindowEnabled(HWND window) {
    auto system = windows();
    return system && system->is_window_enabled(window);
}

BOOL ShowWindow(HWND window, int command) {
    auto system = windows();
    return system && system->show_window(window, command);
}

BOOL IsWindowVisible(HWND window) {
    auto system = windows();
    return system && system->is_window_visible(window);
}

BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    auto system = windows();
    return system && system->set_window_pos(window, insert_after, x, y, cx, cy, flags);
}

BOOL MoveWindow(HWND window, int x, int y, int cx, int cy, BOOL repaint) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(window, nullptr, x, y, cx, cy, flags);
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    auto system = windows();
    return system && rect && system->get_window_rect(window, rect);
}

BOOL GetClientRect(HWND window, RECT* rect) {
    auto system = windows();
    return system && rect && system->get_client_rect(window, rect);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return FALSE;
    SendMessage(button, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return UINT(SendDlgItemMessage(dialog, id, BM_GETCHECK, 0, 0));
}
