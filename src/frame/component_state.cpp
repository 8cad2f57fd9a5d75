#include "frame/component_state.h"

#include <atomic>
#include <utility>

#include "sdk/host_access.h"

namespace component_state {
namespace {
module_instance g_instance = nullptr;
std::string g_module_path;
std::string g_module_file_name;
std::atomic<bool> g_services_available{false};
std::atomic<bool> g_services_were_available{false};
std::vector<std::string> g_settings_damage;
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

void note_settings_damage(std::string message) {
    g_settings_damage.push_back(std::move(message));
}
std::vector<std::string> take_settings_damage() {
    return std::exchange(g_settings_damage, {});
}

}  // namespace component_state
