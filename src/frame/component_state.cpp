#include "frame/component_state.h"

#include <atomic>
#include <string>
#include <utility>

#include "sdk/host_access.h"

namespace component_state {
namespace {
module_instance g_instance = nullptr;
std::string g_module_path;
std::string g_module_file_name;
std::atomic<bool> g_services_available{false};
std::atomic<bool> g_services_were_available{false};
// A settings file can hold any number of damaged records: the first few are
// told in full, the rest only counted, so that a hostile file floods neither
// memory nor the console.
constexpr size_t settings_damage_told = 10;
std::vector<std::string> g_settings_damage;
size_t g_settings_damage_untold = 0;
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
    if (g_settings_damage.size() < settings_damage_told)
        g_settings_damage.push_back(std::move(message));
    else
        ++g_settings_damage_untold;
}
std::vector<std::string> take_settings_damage() {
    std::vector<std::string> taken = std::exchange(g_settings_damage, {});
    if (const size_t untold = std::exchange(g_settings_damage_untold, 0)) {
        taken.push_back(std::to_string(untold) +
                        " more damaged settings records were read in part.");
    }
    return taken;
}

}  // namespace component_state
