#include "host/core/component_loader.h"

#include <filesystem>
#include <stdexcept>

#include "host/core/component_library.h"

loaded_component::loaded_component(const std::string& path, host_api* api) : m_path(path) {
    m_library = open_library(path);
    auto entry = reinterpret_cast<sonarith_get_interface_t>(
        find_library_symbol(m_library, component_entry_point_name));
    if (!entry) {
        close_library(m_library);
        throw std::runtime_error("Not a component (no entry point): " + path);
    }
    m_name = std::filesystem::u8path(path).stem().u8string();
    try {
        start(entry, api);
    } catch (...) {
        close_library(m_library);
        throw;
    }
}

loaded_component::loaded_component(sonarith_get_interface_t entry, const std::string& name,
                                   host_api* api)
    : m_path(name), m_name(name) {
    start(entry, api);
}

void loaded_component::start(sonarith_get_interface_t entry, host_api* api) {
    m_client = entry(api, m_library);
    if (!m_client)
        throw std::runtime_error("Component " + m_path + " returned no client");
    if (m_client->get_version() != component_client_version) {
        throw std::runtime_error("Component " + m_path + " has interface version " +
                                 std::to_string(m_client->get_version()) + ", expected " +
                                 std::to_string(component_client_version));
    }
    std::string file_name = std::filesystem::u8path(m_path).filename().u8string();
    m_client->set_library_path(m_path.c_str(), file_name.c_str());
}

loaded_component::~loaded_component() {
    if (m_library)
        close_library(m_library);
}
