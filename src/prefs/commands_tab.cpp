#include "prefs/commands_tab.h"

#include <exception>
#include <string>

#include "frame/config_vars.h"
#include "prefs/dialog_controls.h"
#include "prefs/prefs_page_state.h"
#include "prefs/prefs_templates.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "quicktag/qtg_file.h"
#include "sdk/utf8.h"
#include "sdk/window.h"

namespace {

constexpr const char* new_entry_name = "Tag Shelf/New Entry";
constexpr const char* new_entry_field = "New field";
// What an emptied display name or field name stores, so that no command is left
// without a menu name or a field.
constexpr const char* blank_display_name = "Tag Shelf/[BLANK!]";
constexpr const char* blank_field_name = "[BLANK!]";

constexpr const char* qtg_filter = "Quick Tag Files (*.qtg)|*.qtg|All Files (*.*)|*.*";
constexpr const char* qtg_extension = "qtg";

// The selected line, or -1.
int selected_line(HWND tab) {
    return int(SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_GETCURSEL, 0, 0));
}

// The selected command's index, or false when no line (or no command) is selected.
bool selected_entry(HWND tab, size_t& index) {
    int line = selected_line(tab);
    if (line < 0 || !cfg_quicktag_entries.is_valid_index(size_t(line)))
        return false;
    index = size_t(line);
    return true;
}

std::string edit_text(HWND tab, int id) {
    string8 text;
    uGetDlgItemText(tab, id, text);
    return text.str();
}

// Shows the selected command's details, or empties and disables them when no line
// is selected.
void on_selection_changed(HWND tab) {
    if (prefs_page().updating_controls)
        return;
    updating_controls_scope updating;
    size_t index = 0;
    if (!selected_entry(tab, index)) {
        enable_detail_edits(tab, false);
        return;
    }
    const quicktag_entry& entry = cfg_quicktag_entries[index];
    uSetDlgItemText(tab, IDC_DISPLAY_NAME, entry.display_name.c_str());
    uSetDlgItemText(tab, IDC_FIELD_NAME, entry.field_name.c_str());
    uSetDlgItemText(tab, IDC_VALUE, entry.value.c_str());
    enable_detail_edits(tab, true);
}

void on_display_name_changed(HWND tab) {
    size_t index = 0;
    if (prefs_page().updating_controls || !selected_entry(tab, index))
        return;
    std::string text = edit_text(tab, IDC_DISPLAY_NAME);
    if (text.empty())
        text = blank_display_name;
    cfg_quicktag_entries[index].display_name = text;
    // The list line follows at once; the edit keeps what the user typed, even when
    // that is nothing.
    updating_controls_scope updating;
    SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_DELETESTRING, WPARAM(index), 0);
    uSendDlgItemMessageText(tab, IDC_COMMAND_LIST, LB_INSERTSTRING, WPARAM(index), text.c_str());
    SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_SETCURSEL, WPARAM(index), 0);
}

void on_field_name_changed(HWND tab) {
    size_t index = 0;
    if (prefs_page().updating_controls || !selected_entry(tab, index))
        return;
    std::string text = edit_text(tab, IDC_FIELD_NAME);
    if (text.empty())
        text = blank_field_name;
    string8 upper;
    uAddStringUpper(upper, text.c_str(), text.size());
    cfg_quicktag_entries[index].field_name = upper.str();
}

void on_value_changed(HWND tab) {
    size_t index = 0;
    if (prefs_page().updating_controls || !selected_entry(tab, index))
        return;
    cfg_quicktag_entries[index].value = edit_text(tab, IDC_VALUE);
}

void on_new(HWND tab) {
    LRESULT line = uSendDlgItemMessageText(tab, IDC_COMMAND_LIST, LB_ADDSTRING, 0, new_entry_name);
    if (line < 0)
        return;
    cfg_quicktag_entries.add_item({new_entry_name, new_entry_field, ""});
    SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_SETCURSEL, WPARAM(line), 0);
    on_selection_changed(tab);
}

void on_remove(HWND tab) {
    size_t index = 0;
    if (!selected_entry(tab, index))
        return;
    cfg_quicktag_entries.remove_by_idx(index);
    SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_DELETESTRING, WPARAM(index), 0);
    // The line below moves up into the removed one's place; removing the last line
    // selects the new last one, and an emptied list selects nothing.
    size_t count = cfg_quicktag_entries.get_count();
    int next = index < count ? int(index) : int(count) - 1;
    SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_SETCURSEL, WPARAM(next), 0);
    on_selection_changed(tab);
}

void on_sort(HWND tab) {
    cfg_quicktag_entries.sort_by_display_name();
    refresh_command_tab(tab);
}

void on_reset(HWND tab) {
    if (uMessageBox(tab, "Warning! This will reset context menu entries. Continue?",
                    "Reset config?", MB_YESNO | MB_ICONWARNING) != IDYES) {
        return;
    }
    cfg_quicktag_entries.reset_to_defaults();
    refresh_command_tab(tab);
}

// Asks for a ".qtg" file, starting from the one used last.
bool choose_qtg_file(HWND tab, const char* title, bool save, string8& path) {
    path = string8(cfg_qtg_last_path.get());
    return uGetOpenFileName(tab, qtg_filter, 1, qtg_extension, title, nullptr, path, save);
}

void on_import(HWND tab) {
    string8 path;
    if (!choose_qtg_file(tab, "Import config", false, path))
        return;
    if (quicktag_import(path.get_ptr())) {
        // Every line now shows another command: the selection goes with the old
        // list. A file that was not taken leaves list and selection as they were.
        SendDlgItemMessage(tab, IDC_COMMAND_LIST, LB_RESETCONTENT, 0, 0);
    }
    refresh_command_tab(tab);
}

void on_export(HWND tab) {
    string8 path;
    if (choose_qtg_file(tab, "Save As", true, path))
        quicktag_export(path.get_ptr());
}

void on_command(HWND tab, int id, int code) {
    switch (id) {
        case IDC_COMMAND_LIST:
            if (code == LBN_SELCHANGE)
                on_selection_changed(tab);
            else if (code == LBN_SELCANCEL)
                enable_detail_edits(tab, false);
            return;
        case IDC_DISPLAY_NAME:
            if (code == EN_CHANGE)
                on_display_name_changed(tab);
            return;
        case IDC_FIELD_NAME:
            if (code == EN_CHANGE)
                on_field_name_changed(tab);
            return;
        case IDC_VALUE:
            if (code == EN_CHANGE)
                on_value_changed(tab);
            return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
        case IDC_CONTEXT_MENU_ENABLED:
            cfg_context_menu_enabled = is_checked(tab, IDC_CONTEXT_MENU_ENABLED) ? 1 : 0;
            break;
        case IDC_TITLEFORMAT_VALUES:
            cfg_titleformat_values = is_checked(tab, IDC_TITLEFORMAT_VALUES) ? 1 : 0;
            break;
        case IDC_REMOVE_EMPTY:
            cfg_remove_empty = is_checked(tab, IDC_REMOVE_EMPTY) ? 1 : 0;
            break;
        case IDC_SORT:
            on_sort(tab);
            break;
        case IDC_NEW:
            on_new(tab);
            break;
        case IDC_REMOVE:
            on_remove(tab);
            break;
        case IDC_RESET:
            on_reset(tab);
            break;
        case IDC_IMPORT:
            on_import(tab);
            break;
        case IDC_EXPORT:
            on_export(tab);
            break;
    }
}

}  // namespace

void enable_detail_edits(HWND tab, bool on) {
    if (!on) {
        // Emptying an edit notifies the tab; that change is the page's own.
        updating_controls_scope updating;
        for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE})
            uSetDlgItemText(tab, id, "");
    }
    for (int id : {IDC_DISPLAY_NAME, IDC_FIELD_NAME, IDC_VALUE})
        EnableWindow(GetDlgItem(tab, id), on ? TRUE : FALSE);
}

void refresh_command_tab(HWND tab) {
    HWND list = GetDlgItem(tab, IDC_COMMAND_LIST);
    int remembered = 0;
    {
        updating_controls_scope updating;
        SendMessage(list, WM_SETREDRAW, FALSE, 0);
        remembered = selected_line(tab);
        SendMessage(list, LB_RESETCONTENT, 0, 0);
        for (const quicktag_entry& entry : cfg_quicktag_entries.entries())
            uSendMessageText(list, LB_ADDSTRING, 0, entry.display_name.c_str());
        SendMessage(list, WM_SETREDRAW, TRUE, 0);
    }

    set_checked(tab, IDC_CONTEXT_MENU_ENABLED, cfg_context_menu_enabled != 0);
    set_checked(tab, IDC_TITLEFORMAT_VALUES, cfg_titleformat_values != 0);
    set_checked(tab, IDC_REMOVE_EMPTY, cfg_remove_empty != 0);

    if (remembered >= 0 && cfg_quicktag_entries.is_valid_index(size_t(remembered))) {
        SendMessage(list, LB_SETCURSEL, WPARAM(remembered), 0);
        on_selection_changed(tab);
        enable_detail_edits(tab, true);
    } else {
        enable_detail_edits(tab, false);
    }
}

INT_PTR CALLBACK commands_tab_proc(HWND tab, UINT message, WPARAM wparam, LPARAM) {
    return dispatch_tab_command(tab, message, wparam, on_command);
}
