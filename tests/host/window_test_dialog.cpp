#include "window_test_dialog.h"

namespace {

constexpr DWORD child_dialog = WS_CHILD | DS_CONTROL | DS_SETFONT;
constexpr DWORD control = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

constexpr dialog_control host_controls[] = {
    {IDT_TABS, control_class::tab_control, "", 2, 2, 196, 140, control},
};
constexpr dialog_control first_controls[] = {
    {IDT_ENABLE, control_class::button, "Enable", 5, 5, 60, 10, control | BS_AUTOCHECKBOX},
    {IDT_ASK, control_class::button, "Ask", 70, 5, 40, 14, control | BS_PUSHBUTTON},
    {IDT_CHOICE, control_class::combo_box, "", 5, 22, 80, 40, control | CBS_DROPDOWNLIST},
    {IDT_LINES, control_class::list_box, "", 90, 22, 80, 30, control | WS_BORDER | LBS_NOTIFY},
    {IDT_NAME, control_class::edit, "", 5, 56, 80, 12, control | WS_BORDER | ES_AUTOHSCROLL},
    {IDT_FIELD, control_class::edit, "", 90, 56, 80, 12, control | WS_BORDER | ES_UPPERCASE},
    {IDT_NOTES, control_class::edit, "", 5, 72, 165, 24,
     control | WS_BORDER | ES_MULTILINE | ES_WANTRETURN},
    {IDT_STATUS, control_class::static_text, "ready", 5, 100, 165, 8,
     WS_CHILD | WS_VISIBLE | SS_LEFT},
    {IDT_BROWSE, control_class::button, "Browse", 5, 110, 40, 14, control | BS_PUSHBUTTON},
    {IDT_OPTION, control_class::button, "Option", 50, 112, 60, 10,
     control | BS_AUTOCHECKBOX | WS_DISABLED},
    {IDC_STATIC, control_class::button, "Group", 120, 100, 60, 30,
     WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
};
constexpr dialog_control second_controls[] = {
    {IDT_OTHER, control_class::button, "Other", 5, 5, 40, 14, control | BS_PUSHBUTTON},
    {IDT_QUIET_LIST, control_class::list_box, "", 5, 22, 80, 30, control | WS_BORDER},
};

constexpr dialog_template host_template = make_dialog_template(
    200, 150, "Tahoma", 8, WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT, host_controls);
constexpr dialog_template first_template =
    make_dialog_template(190, 130, "Tahoma", 8, child_dialog, first_controls);
constexpr dialog_template second_template =
    make_dialog_template(190, 130, "Tahoma", 8, child_dialog, second_controls);

HWND g_tabs[2] = {nullptr, nullptr};

void log(std::string event) {
    test_dialog_events().push_back(std::move(event));
}

std::string item_text(HWND dialog, int id) {
    string8 text;
    uGetDlgItemText(dialog, id, text);
    return text.str();
}

// Places both tabs in the tab control's display area.
void place_tabs(HWND host) {
    HWND tabs = GetDlgItem(host, IDT_TABS);
    RECT area;
    GetClientRect(tabs, &area);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    RECT tabs_rect;
    RECT host_rect;
    GetWindowRect(tabs, &tabs_rect);
    GetWindowRect(host, &host_rect);
    int dx = tabs_rect.left - host_rect.left;
    int dy = tabs_rect.top - host_rect.top;
    for (HWND tab : g_tabs) {
        MoveWindow(tab, area.left + dx, area.top + dy, area.right - area.left,
                   area.bottom - area.top, TRUE);
    }
}

INT_PTR CALLBACK first_tab_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            for (const char* line : {"alpha", "beta", "gamma"})
                uSendDlgItemMessageText(dialog, IDT_CHOICE, CB_ADDSTRING, 0, line);
            SendDlgItemMessage(dialog, IDT_CHOICE, CB_SETCURSEL, 0, 0);
            for (const char* line : {"one", "two"})
                uSendDlgItemMessageText(dialog, IDT_LINES, LB_ADDSTRING, 0, line);
            return TRUE;
        case WM_COMMAND: {
            int id = LOWORD(wparam);
            int code = HIWORD(wparam);
            if (id == IDT_ENABLE && code == BN_CLICKED) {
                bool checked = IsDlgButtonChecked(dialog, IDT_ENABLE) == BST_CHECKED;
                EnableWindow(GetDlgItem(dialog, IDT_OPTION), checked);
                log("201 clicked checked=" + std::to_string(checked));
            } else if (id == IDT_ASK && code == BN_CLICKED) {
                int answer =
                    uMessageBox(dialog, "Proceed?", "Question", MB_YESNO | MB_ICONQUESTION);
                uSetDlgItemText(dialog, IDT_STATUS, answer == IDYES ? "yes" : "no");
                log("202 answered " + std::to_string(answer));
            } else if (id == IDT_CHOICE && code == CBN_SELCHANGE) {
                int selected = int(SendDlgItemMessage(dialog, IDT_CHOICE, CB_GETCURSEL, 0, 0));
                log("203 selchange " + std::to_string(selected) + " " +
                    item_text(dialog, IDT_CHOICE));
            } else if (id == IDT_LINES && code == LBN_SELCHANGE) {
                int selected = int(SendDlgItemMessage(dialog, IDT_LINES, LB_GETCURSEL, 0, 0));
                log("204 selchange " + std::to_string(selected));
            } else if (id == IDT_LINES && code == LBN_SELCANCEL) {
                log("204 selcancel");
            } else if ((id == IDT_NAME || id == IDT_FIELD || id == IDT_NOTES) &&
                       code == EN_CHANGE) {
                log(std::to_string(id) + " changed " + item_text(dialog, id));
            } else if (id == IDT_BROWSE && code == BN_CLICKED) {
                string8 path("start.txt");
                bool chosen =
                    uGetOpenFileName(dialog, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*", 1,
                                     "txt", "Open notes", nullptr, path, false);
                uSetDlgItemText(dialog, IDT_STATUS, chosen ? path.get_ptr() : "cancelled");
                log(std::string("209 ") + (chosen ? "chose " + path.str() : "cancelled"));
            } else if (id == IDT_OPTION && code == BN_CLICKED) {
                log("210 clicked");
            }
            return TRUE;
        }
        case WM_DESTROY:
            log("destroy first tab");
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK second_tab_proc(HWND, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_COMMAND) {
        log(std::to_string(LOWORD(wparam)) + " command " + std::to_string(HIWORD(wparam)));
        return TRUE;
    }
    if (message == WM_DESTROY) {
        log("destroy second tab");
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK host_proc(HWND host, UINT message, WPARAM, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            log("init param=" + std::to_string(lparam));
            HWND tabs = GetDlgItem(host, IDT_TABS);
            const char* names[] = {"First", "Second"};
            for (int i = 0; i < 2; ++i) {
                TCITEMA item{};
                item.mask = TCIF_TEXT;
                item.pszText = const_cast<char*>(names[i]);
                uTabCtrl_InsertItem(tabs, i, &item);
            }
            g_tabs[0] = uCreateDialog(first_template, host, first_tab_proc);
            g_tabs[1] = uCreateDialog(second_template, host, second_tab_proc);
            ShowWindow(g_tabs[TabCtrl_GetCurSel(tabs)], SW_SHOW);
            return TRUE;
        }
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lparam);
            int selected = TabCtrl_GetCurSel(header->hwndFrom);
            if (header->code == TCN_SELCHANGING) {
                ShowWindow(g_tabs[selected], SW_HIDE);
                log("selchanging from " + std::to_string(selected));
            } else if (header->code == TCN_SELCHANGE) {
                ShowWindow(g_tabs[selected], SW_SHOW);
                log("selchange to " + std::to_string(selected));
            }
            return TRUE;
        }
        case WM_WINDOWPOSCHANGED:
            place_tabs(host);
            return TRUE;
        case WM_DESTROY:
            log("destroy host on tab " +
                std::to_string(TabCtrl_GetCurSel(GetDlgItem(host, IDT_TABS))));
            return TRUE;
    }
    return FALSE;
}

// The test dialog offered to the host as a preferences page.
class test_page : public preferences_page {
public:
    HWND create_page(HWND parent) override { return create_test_dialog(parent); }
    const char* page_name() override { return "Test Page"; }
    GUID page_guid() override { return guid_null; }
    GUID parent_guid() override { return guid_null; }
    bool can_reset() override { return false; }
    void reset_page() override {}
    bool help_address(string_base& out) override {
        return preferences_page_default_help_address(page_guid(), page_name(), out);
    }
};

}  // namespace

const dialog_template& test_host_template() {
    return host_template;
}
const dialog_template& test_first_tab_template() {
    return first_template;
}
const dialog_template& test_second_tab_template() {
    return second_template;
}

HWND create_test_dialog(HWND parent) {
    return uCreateDialog(host_template, parent, host_proc, 42);
}

HWND test_tab_window(int index) {
    return g_tabs[index];
}

std::vector<std::string>& test_dialog_events() {
    static std::vector<std::string> events;
    return events;
}

std::string last_test_dialog_event() {
    auto& events = test_dialog_events();
    return events.empty() ? "" : events.back();
}

service_ptr_t<preferences_page> make_test_page() {
    return make_service<test_page>();
}
