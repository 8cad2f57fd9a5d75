#include "frame/host_ops.h"

#include "frame/component_state.h"
#include "sdk/console.h"
#include "sdk/file.h"

namespace host_ops {

metadb_handle_ptr track_for(const playable_location& location) {
    metadb_handle_ptr track;
    single<metadb>()->handle_create(track, location);
    return track;
}

void refresh_tracks(const list_base_const_t<metadb_handle_ptr>& tracks) {
    single<metadb_io>()->dispatch_refresh(tracks);
}

bool in_media_library(const metadb_handle_ptr& track) {
    return single<library_manager>()->is_item_in_library(track);
}

void console_print(std::string_view line) {
    if (!component_state::services_available())
        return;
    service_enum<console_receiver>([&](const service_ptr_t<console_receiver>& console) {
        console->print(line.data(), line.size());
        return true;
    });
}

std::string profile_directory() {
    host_api* api = sdk_host();
    std::string url = api ? api->get_profile_path() : "";
    return url.size() > 7 ? url.substr(7) : std::string();
}

std::string profile_file(std::string_view name) {
    std::string path = profile_directory();
    path += path_separator;
    path += name;
    return path;
}

bool is_load_context() {
    if (!component_state::services_available())
        return true;
    return sdk_host()->is_load_context();
}

bool is_shutting_down() {
    if (!component_state::services_available())
        return component_state::services_were_available();
    return sdk_host()->is_shutting_down();
}

HWND main_window() {
    host_api* api = sdk_host();
    return api ? api->get_main_window() : nullptr;
}

}  // namespace host_ops
