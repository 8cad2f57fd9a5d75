// The component's page in the host's preferences: "Tag Shelf", with the tabs
// "General" and "Context menu commands".
#pragma once

#include "sdk/preferences_page.h"
#include "sdk/service.h"

class my_preferences_page : public preferences_page {
public:
    // Builds the tab host and both tabs; the host shows, places and destroys them.
    HWND create_page(HWND parent) override;
    const char* page_name() override { return "Tag Shelf"; }
    // The page has no GUID of its own.
    GUID page_guid() override { return guid_null; }
    // The host's branch the page is listed under.
    GUID parent_guid() override;
    // Settings take effect as they are changed; there is nothing to reset.
    bool can_reset() override { return false; }
    void reset_page() override {}
    // The host's default: its help site, "/preferences/", the page GUID, the name;
    // false (out emptied) when the host has no help site.
    bool help_address(string_base& out) override;

protected:
    ~my_preferences_page() = default;
};

// The one instance the component registers.
service_impl_single_t<my_preferences_page>& my_preferences_page_instance();
