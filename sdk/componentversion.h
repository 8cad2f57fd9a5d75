// A component's name, version and about text, as the host lists them.
#pragma once

#include "sdk/service.h"
#include "sdk/strings.h"

class componentversion : public service_base {
public:
    using interface_type = componentversion;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x10BB3EBD, 0xDDF7, 0x4975, {0xA3, 0xCC, 0x23, 0x08, 0x48, 0x29, 0x45, 0x3E}};

    virtual void get_file_name(string_base& out) = 0;
    virtual void get_component_name(string_base& out) = 0;
    virtual void get_component_version(string_base& out) = 0;
    virtual void get_about_message(string_base& out) = 0;

protected:
    ~componentversion() = default;
};
