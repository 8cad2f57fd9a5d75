// What the host told the component about itself: its module path and whether the
// host's services may be used.
#pragma once

#include <string>
#include <vector>

#include "sdk/host_api.h"

namespace component_state {

void set_entry(host_api* api, module_instance instance);
module_instance instance();

void set_module_path(const char* path, const char* file_name);
const std::string& module_path();
const std::string& module_file_name();

// True between the host's switching services on and off.
bool services_available();
// Becomes true the first time services are switched on, and stays true.
bool services_were_available();
void set_services_available(bool available);

// Damage found while the host read the settings, before the console can be used:
// noted then, and handed out (and forgotten) once, to be told at start-up. Past
// the first ten messages, one last message gives the number of the others.
void note_settings_damage(std::string message);
std::vector<std::string> take_settings_damage();

}  // namespace component_state
