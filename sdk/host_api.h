// The host's interface as a component receives it at its entry point.
#pragma once

#include <cstddef>

#include "sdk/service.h"
#include "sdk/window.h"

// Opaque handle of a service class in the host's registry.
using service_class_ref = const void*;

class host_api {
public:
    // The registry's class of services implementing `guid`, or null when none is
    // registered.
    virtual service_class_ref find_class(const GUID& guid) = 0;
    // Instance `index` of the class into `out`; false when there is no such instance.
    virtual bool service_instance_create(service_ptr_t<service_base>& out, service_class_ref cls,
                                         size_t index) = 0;
    virtual size_t service_get_count(service_class_ref cls) = 0;
    // The host's main window: the owner of message boxes.
    virtual HWND get_main_window() = 0;
    // The host's name and version, e.g. "sonarith-host 1.0".
    virtual const char* get_host_name() = 0;
    // Whether work that may load data (opening a storage, say) may run here now.
    virtual bool is_load_context() = 0;
    // Whether the host is shutting down.
    virtual bool is_shutting_down() = 0;
    // The profile directory as a file URL: "file://" followed by the directory path.
    virtual const char* get_profile_path() = 0;

protected:
    ~host_api() = default;
};

using module_instance = void*;
