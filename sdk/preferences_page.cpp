#include "sdk/preferences_page.h"

#include "sdk/guid.h"
#include "sdk/host_access.h"

bool preferences_page_default_help_address(const GUID& page, const char* name, string_base& out) {
    out.reset();
    auto site = service_find_first<help_site>();
    if (!site)
        return false;
    site->get_address(out);
    out.add_string("/preferences/");
    out.add_string(guid_to_string_bare(page).c_str());
    out.add_string("/");
    out.add_string(name ? name : "");
    return true;
}
