#include "quicktag/contextmenu_quicktag.h"

#include <string>

#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "quicktag/display_name.h"
#include "quicktag/run_quicktag_command.h"
#include "sdk/hasher.h"
#include "service/report_error.h"
#include "service/tagshelf_impl.h"

namespace {

// The entry of command `index`, or null when the list has shrunk below it since the
// host built its menu.
const quicktag_entry* entry_at(unsigned index) {
    return cfg_quicktag_entries.is_valid_index(index) ? &cfg_quicktag_entries[index] : nullptr;
}

void write_view(string_base& out, std::string_view text) {
    out.set_string(text.data(), text.size());
}

}  // namespace

service_impl_single_t<contextmenu_quicktag>& contextmenu_quicktag_instance() {
    static service_impl_single_t<contextmenu_quicktag> instance;
    return instance;
}

unsigned contextmenu_quicktag::item_count() {
    try {
        if (!tagshelf_impl::instance().storage_active())
            return 0;
        if (cfg_context_menu_enabled == 0)
            return 0;
        return unsigned(cfg_quicktag_entries.get_count());
    } catch (const std::exception& e) {
        report_error("Listing tagshelf context commands failed.", true, e);
        return 0;
    }
}

GUID contextmenu_quicktag::item_guid(unsigned index) {
    const quicktag_entry* entry = entry_at(index);
    if (!entry)
        return guid_null;
    try {
        const std::string& name = entry->display_name;
        hasher_result digest =
            host_ops::find_single<hasher>()->process_single(name.data(), name.size());
        return guid_from_bytes(digest.data());
    } catch (const std::exception& e) {
        report_error("Identifying a tagshelf context command failed.", false, e);
        return guid_null;
    }
}

void contextmenu_quicktag::item_name(unsigned index, string_base& out) {
    const quicktag_entry* entry = entry_at(index);
    write_view(out, entry ? display_name_leaf(entry->display_name) : std::string_view());
}

void contextmenu_quicktag::item_path(unsigned index, string_base& out) {
    const quicktag_entry* entry = entry_at(index);
    write_view(out, entry ? display_name_path(entry->display_name) : std::string_view());
}

bool contextmenu_quicktag::item_description(unsigned index, string_base& out) {
    const quicktag_entry* entry = entry_at(index);
    if (!entry)
        return false;
    out.set_string(entry->field_name.data(), entry->field_name.size());
    out.add_string("=", 1);
    out.add_string(entry->value.data(), entry->value.size());
    return true;
}

unsigned contextmenu_quicktag::item_default_state(unsigned) {
    return default_state_shown;
}

bool contextmenu_quicktag::item_display(unsigned index, const contextmenu_tracks& tracks,
                                        string_base& out, unsigned&, const GUID&) {
    if (tracks.get_count() == 0)
        return false;
    item_name(index, out);
    return true;
}

void contextmenu_quicktag::execute_item(unsigned index, const contextmenu_tracks& tracks,
                                        const GUID&) {
    const quicktag_entry* entry = entry_at(index);
    if (!entry || tracks.get_count() == 0)
        return;
    // A copy: the command must not depend on the list staying as it is meanwhile.
    quicktag_entry command = *entry;
    run_quicktag_command(command.field_name, tracks, command.value, cfg_titleformat_values != 0,
                         cfg_remove_empty != 0);
}

bool contextmenu_quicktag::item_display_name(unsigned index, const contextmenu_tracks&,
                                             string_base& out, unsigned&, const GUID&) {
    item_name(index, out);
    return true;
}
