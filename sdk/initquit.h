// Start and stop notifications of the host session.
#pragma once

#include "sdk/service.h"

class initquit : public service_base {
public:
    using interface_type = initquit;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x113773C4, 0xB387, 0x4B48, {0x8B, 0xDF, 0xAB, 0x58, 0xBC, 0x6C, 0xE5, 0x38}};

    virtual void on_init() = 0;
    virtual void on_quit() = 0;

protected:
    ~initquit() = default;
};
