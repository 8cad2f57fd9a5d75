#include "frame/component_state.h"

#include <atomic>

#include "sdk/host_access.h"

namespace component_state {
namespace {
module_instance g_instance = nullptr;
std::string g_module_path;
std::string g_module_file_name;
std::atomic<bool> g_services_available{false};
std::atomic<bool> g_services_were_available{false};
}  // namespace

void set_entry(host_api* api, module_instance instance) {
    sdk_set_host(api);
    g_instance = instance;
}
module_instance instance() {
    return g_instance;
}

void set_module_path(const char* path, const char* file_name) {
    g_module_path = path ? path : "";
    g_module_file_name = file_name ? file_name : "";
}
const std::string& module_path() {
    return g_module_path;
}
const std::string& module_file_name() {
    return g_module_file_name;
}

bool services_available() {
    return g_services_available;
}
bool services_were_available() {
    return g_services_were_available;
}
void set_services_available(bool available) {
    g_services_available = available;
    if (available)
        g_services_were_available = true;
}

}  // namespace component_state
