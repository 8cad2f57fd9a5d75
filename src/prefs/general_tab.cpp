#include "prefs/general_tab.h"

#include <exception>
#include <string>

#include "frame/config_vars.h"
#include "prefs/dialog_controls.h"
#include "prefs/prefs_page_state.h"
#include "prefs/prefs_templates.h"
#include "sdk/host_access.h"
#include "sdk/window.h"
#include "service/report_error.h"
#include "service/tagshelf_impl.h"
#include "storage/tagshelf_storage.h"
#include "tracking/storage_statistics.h"

namespace {

bool ask(HWND tab, const char* question, const char* caption) {
    return uMessageBox(tab, question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The storage method of the combo box's selected line; the null GUID when no line
// is selected.
GUID chosen_storage(HWND tab) {
    LRESULT line = SendDlgItemMessage(tab, IDC_STORAGE_METHOD, CB_GETCURSEL, 0, 0);
    const auto& guids = prefs_page().storage_choice_guids;
    if (line < 0 || size_t(line) >= guids.size())
        return guid_null;
    return guids[size_t(line)];
}

void on_storage_chosen(HWND tab) {
    if (prefs_page().updating_controls)
        return;
    GUID selected = chosen_storage(tab);
    GUID active = tagshelf_impl::instance().current_storage_guid();
    bool other = selected != active;
    enable_control(tab, IDC_SWITCH, other);
    // Copying needs a method to copy from and one to copy into. The check mark
    // stays when the box is disabled, so that choosing back restores it.
    enable_control(tab, IDC_COPY_DATA, other && selected != guid_null && active != guid_null);
}

void on_switch(HWND tab) {
    GUID target = chosen_storage(tab);
    // A disabled copy box does not apply, whatever its check mark says: there is no
    // copy into "None (disabled)", and no question to ask about one.
    bool copy = is_checked(tab, IDC_COPY_DATA) && is_enabled(tab, IDC_COPY_DATA);
    if (copy &&
        !ask(tab, "All data in target will be lost when copying. Are you sure?", "Copy data?")) {
        return;
    }
    tagshelf_impl::instance().switch_storage(target, copy, true, true);
    set_checked(tab, IDC_COPY_DATA, false);
    refresh_general_tab(tab);
}

void on_clear_contents(HWND tab) {
    if (!ask(tab, "Are you sure you want to remove all data from the current storage?",
             "Clear storage?")) {
        return;
    }
    bool failed = false;
    std::string failure;
    {
        // The writer is given back before anything is reported or shown: its
        // release ends the write (and commits it where the storage has
        // transactions), and an answer to the report may switch the storage off.
        service_ptr_t<tagshelf_reader_writer> writer;
        if (tagshelf_impl::instance().get_writer(writer)) {
            try {
                writer->remove_all();
            } catch (const std::exception& e) {
                failed = true;
                failure = e.what();
            } catch (...) {
                failed = true;
            }
        }
    }
    if (failed) {
        report_error("Clearing storage contents failed", true,
                     failure.empty() ? nullptr : failure.c_str());
    }
    refresh_general_tab(tab);
}

void on_remove_dead_entries(HWND tab) {
    if (ask(tab,
            "This will remove all tagshelf entries for which no file exists anymore. Are you "
            "sure you want to do this?",
            "Remove dead entries?")) {
        tagshelf_impl::instance().remove_dead_entries();
    }
    refresh_general_tab(tab);
}

void on_command(HWND tab, int id, int code) {
    if (id == IDC_STORAGE_METHOD) {
        if (code == CBN_SELCHANGE)
            on_storage_chosen(tab);
        return;
    }
    if (code != BN_CLICKED)
        return;
    switch (id) {
        case IDC_SWITCH:
            on_switch(tab);
            break;
        case IDC_CLEAR_CONTENTS:
            on_clear_contents(tab);
            break;
        case IDC_REMOVE_DEAD_ENTRIES:
            on_remove_dead_entries(tab);
            break;
        case IDC_FIELD_PROCESSING:
            // Title formatting shows or stops showing stored fields at once.
            cfg_field_processing = is_checked(tab, IDC_FIELD_PROCESSING) ? 1 : 0;
            tagshelf_impl::instance().refresh_all_tracks();
            break;
        case IDC_FUNCTION_PROCESSING:
            cfg_function_processing = is_checked(tab, IDC_FUNCTION_PROCESSING) ? 1 : 0;
            tagshelf_impl::instance().refresh_all_tracks();
            break;
        case IDC_LIBRARY_ONLY:
            // Acts the next time a storage is opened.
            cfg_library_only = is_checked(tab, IDC_LIBRARY_ONLY) ? 1 : 0;
            break;
    }
}

}  // namespace

void refresh_general_tab(HWND tab) {
    updating_controls_scope updating;
    tagshelf_impl& shelf = tagshelf_impl::instance();

    string8 statistics;
    format_storage_statistics(statistics);
    uSetDlgItemText(tab, IDC_STORAGE_STATISTICS, statistics.get_ptr());

    bool active = shelf.storage_active();
    enable_control(tab, IDC_CLEAR_CONTENTS, active);
    enable_control(tab, IDC_REMOVE_DEAD_ENTRIES, active);

    auto& guids = prefs_page().storage_choice_guids;
    SendDlgItemMessage(tab, IDC_STORAGE_METHOD, CB_RESETCONTENT, 0, 0);
    guids.clear();
    uSendDlgItemMessageText(tab, IDC_STORAGE_METHOD, CB_ADDSTRING, 0, "None (disabled)");
    guids.push_back(guid_null);
    SendDlgItemMessage(tab, IDC_STORAGE_METHOD, CB_SETCURSEL, 0, 0);

    GUID current = shelf.current_storage_guid();
    service_enum<tagshelf_storage>([&](const service_ptr_t<tagshelf_storage>& storage) {
        LRESULT line =
            uSendDlgItemMessageText(tab, IDC_STORAGE_METHOD, CB_ADDSTRING, 0, storage->get_name());
        if (line < 0)
            return true;
        const GUID& guid = storage->get_guid();
        guids.push_back(guid);
        if (guid == current)
            SendDlgItemMessage(tab, IDC_STORAGE_METHOD, CB_SETCURSEL, WPARAM(line), 0);
        return true;
    });

    enable_control(tab, IDC_SWITCH, false);
    enable_control(tab, IDC_COPY_DATA, false);

    set_checked(tab, IDC_FIELD_PROCESSING, cfg_field_processing != 0);
    set_checked(tab, IDC_FUNCTION_PROCESSING, cfg_function_processing != 0);
    set_checked(tab, IDC_LIBRARY_ONLY, cfg_library_only != 0);
}

INT_PTR CALLBACK general_tab_proc(HWND tab, UINT message, WPARAM wparam, LPARAM) {
    return dispatch_tab_command(tab, message, wparam, on_command);
}
