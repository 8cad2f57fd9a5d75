// A page of the host's preferences dialog, and the host's help site that page help
// addresses are built on. The host finds every registered page, lists it under its
// parent branch and, when the user opens it, asks it to create its window.
#pragma once

#include "sdk/service.h"
#include "sdk/strings.h"
#include "sdk/win32_types.h"

class preferences_page : public service_base {
public:
    using interface_type = preferences_page;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x7255E8D0, 0x3FCF, 0x4781, {0xB9, 0x3B, 0xD0, 0x6C, 0xB8, 0x8D, 0xFA, 0xFA}};

    // Creates the page's window as a child of `parent` and answers it; null when
    // the page could not be made. The host shows, places and destroys the window.
    virtual HWND create_page(HWND parent) = 0;
    // The name the page is listed under.
    virtual const char* page_name() = 0;
    virtual GUID page_guid() = 0;
    // The branch of the preferences tree the page is listed under.
    virtual GUID parent_guid() = 0;
    // Whether the page offers a reset; reset_page performs it.
    virtual bool can_reset() = 0;
    virtual void reset_page() = 0;
    // The address of the page's help into `out`; false when it has none.
    virtual bool help_address(string_base& out) = 0;

protected:
    ~preferences_page() = default;
};

// The host's help site: the address that help pages are found under.
class help_site : public service_base {
public:
    using interface_type = help_site;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x0C36A649, 0x9EA0, 0x4F48, {0xB2, 0x29, 0x0C, 0xB2, 0xAA, 0x9A, 0xB6, 0xF4}};

    // The site's address, without a trailing slash, into `out`.
    virtual void get_address(string_base& out) = 0;

protected:
    ~help_site() = default;
};

// The host's default help address of a page: the help site, "/preferences/", the
// page GUID in text form, "/", the page name. Answers false (out emptied) when the
// host has no help site.
bool preferences_page_default_help_address(const GUID& page, const char* name, string_base& out);
