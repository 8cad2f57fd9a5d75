// Loads a component library through its one exported entry point.
#pragma once

#include <string>

#include "sdk/component.h"

class loaded_component {
public:
    // Opens the library at `path` and asks its entry point for the client;
    // raises std::runtime_error when the library or its entry point is unusable.
    loaded_component(const std::string& path, host_api* api);
    // A component linked into the host program itself (used by tests).
    loaded_component(sonarith_get_interface_t entry, const std::string& name, host_api* api);
    ~loaded_component();
    loaded_component(const loaded_component&) = delete;
    loaded_component& operator=(const loaded_component&) = delete;

    component_client& client() { return *m_client; }
    const std::string& path() const { return m_path; }
    // The library's file name without its extension, e.g. "snr_tagshelf".
    const std::string& name() const { return m_name; }

private:
    void start(sonarith_get_interface_t entry, host_api* api);

    std::string m_path;
    std::string m_name;
    void* m_library = nullptr;
    component_client* m_client = nullptr;
};
