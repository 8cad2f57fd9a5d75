#include "prefs/my_preferences_page.h"

#include <exception>

#include "prefs/tab_host.h"
#include "service/report_error.h"

HWND my_preferences_page::create_page(HWND parent) {
    try {
        return create_tab_host(parent);
    } catch (...) {
        report_current_error("Creating the preferences page failed", false);
    }
    return nullptr;
}

GUID my_preferences_page::parent_guid() {
    return {0x627C0767, 0x0793, 0x44F8, {0x80, 0x87, 0xBE, 0x49, 0x34, 0x31, 0x12, 0x82}};
}

bool my_preferences_page::help_address(string_base& out) {
    // Without a help site there is no address to give.
    return preferences_page_default_help_address(page_guid(), page_name(), out);
}

service_impl_single_t<my_preferences_page>& my_preferences_page_instance() {
    static service_impl_single_t<my_preferences_page> instance;
    return instance;
}
