// Notifications of files the host deleted, moved or copied.
#pragma once

#include "sdk/lists.h"
#include "sdk/service.h"

using path_list = list_base_const_t<const char*>;

class file_operation_callback : public service_base {
public:
    using interface_type = file_operation_callback;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x5570A2D2, 0x8F9E, 0x48A7, {0xAF, 0xAC, 0xDA, 0xC0, 0x0A, 0x3C, 0x16, 0x36}};

    virtual void files_deleted(const path_list& items) = 0;
    // `from` and `to` have equal counts and correspond index by index.
    virtual void files_moved(const path_list& from, const path_list& to) = 0;
    virtual void files_copied(const path_list& from, const path_list& to) = 0;

protected:
    ~file_operation_callback() = default;
};
