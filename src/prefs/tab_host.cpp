#include "prefs/tab_host.h"

#include <exception>

#include "frame/config_vars.h"
#include "prefs/commands_tab.h"
#include "prefs/general_tab.h"
#include "prefs/prefs_page_state.h"
#include "prefs/prefs_templates.h"
#include "sdk/window.h"
#include "service/report_error.h"

namespace {

const char* const tab_names[prefs_tab_count] = {"General", "Context menu commands"};

// The tab shown first: the one shown last, or the first when the stored number is
// not a tab.
int first_tab() {
    int stored = cfg_prefs_last_tab;
    return stored >= 0 && stored < prefs_tab_count ? stored : general_tab_index;
}

HWND tab_window(int index) {
    return index >= 0 && index < prefs_tab_count ? prefs_page().page_windows[index] : nullptr;
}

// Moves both tabs to the tab control's display area, in the tab host's coordinates.
void place_tabs(HWND host) {
    HWND tabs = prefs_page().tab_control;
    RECT area;
    GetClientRect(tabs, &area);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    RECT tabs_rect;
    RECT host_rect;
    GetWindowRect(tabs, &tabs_rect);
    GetWindowRect(host, &host_rect);
    int dx = tabs_rect.left - host_rect.left;
    int dy = tabs_rect.top - host_rect.top;
    for (HWND tab : prefs_page().page_windows) {
        MoveWindow(tab, area.left + dx, area.top + dy, area.right - area.left,
                   area.bottom - area.top, TRUE);
    }
}

void init_tab_host(HWND host) {
    prefs_page_state& page = prefs_page();
    page.tab_host = host;
    page.tab_control = GetDlgItem(host, IDC_TABS);
    for (int i = 0; i < prefs_tab_count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(tab_names[i]);
        uTabCtrl_InsertItem(page.tab_control, i, &item);
    }
    int shown = first_tab();
    TabCtrl_SetCurSel(page.tab_control, shown);

    page.page_windows[general_tab_index] =
        uCreateDialog(prefs_general_tab_template(), host, general_tab_proc);
    page.page_windows[commands_tab_index] =
        uCreateDialog(prefs_commands_tab_template(), host, commands_tab_proc);
    place_tabs(host);
    ShowWindow(tab_window(shown), SW_SHOW);

    HWND general = page.page_windows[general_tab_index];
    uSetDlgItemText(general, IDC_FUNCTION_PROCESSING, function_processing_text);
    refresh_general_tab(general);
    refresh_command_tab(page.page_windows[commands_tab_index]);
}

void on_tab_notification(const NMHDR& header) {
    if (header.hwndFrom != prefs_page().tab_control)
        return;
    int selected = TabCtrl_GetCurSel(prefs_page().tab_control);
    if (header.code == TCN_SELCHANGING)
        ShowWindow(tab_window(selected), SW_HIDE);
    else if (header.code == TCN_SELCHANGE)
        ShowWindow(tab_window(selected), SW_SHOW);
}

void on_destroy() {
    prefs_page_state& page = prefs_page();
    int selected = TabCtrl_GetCurSel(page.tab_control);
    if (selected >= 0)
        cfg_prefs_last_tab = selected;
    // The windows are going; nothing may reach them through the page state.
    page.tab_host = nullptr;
    page.tab_control = nullptr;
    page.page_windows[general_tab_index] = nullptr;
    page.page_windows[commands_tab_index] = nullptr;
}

INT_PTR CALLBACK tab_host_proc(HWND host, UINT message, WPARAM, LPARAM lparam) {
    // The host calls in here; nothing may escape into it.
    try {
        switch (message) {
            case WM_INITDIALOG:
                init_tab_host(host);
                return TRUE;
            case WM_NOTIFY:
                if (lparam)
                    on_tab_notification(*reinterpret_cast<const NMHDR*>(lparam));
                return TRUE;
            case WM_WINDOWPOSCHANGED:
                // The host places the page without always resizing it, so this,
                // not WM_SIZE, is where the tabs follow. Default handling goes on.
                if (host == prefs_page().tab_host)
                    place_tabs(host);
                return FALSE;
            case WM_DESTROY:
                if (host == prefs_page().tab_host)
                    on_destroy();
                return TRUE;
        }
    } catch (...) {
        report_current_error("Preferences page failed", false);
    }
    return FALSE;
}

}  // namespace

HWND create_tab_host(HWND parent) {
    prefs_page().parent = parent;
    return uCreateDialog(prefs_tab_host_template(), parent, tab_host_proc);
}
