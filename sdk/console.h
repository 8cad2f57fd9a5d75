// The host console: every registered receiver prints each line.
#pragma once

#include "sdk/service.h"

class console_receiver : public service_base {
public:
    using interface_type = console_receiver;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x90DF5270, 0x65BB, 0x4DBA, {0xBA, 0xF5, 0x86, 0xBE, 0x9E, 0x59, 0xDC, 0x20}};

    // Prints one line of UTF-8 text (`length` bytes; no line break included).
    virtual void print(const char* text, size_t length) = 0;

protected:
    ~console_receiver() = default;
};
