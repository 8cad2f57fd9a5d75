// The host operations the component leans on everywhere: service lookups, the
// console, track handles, display refresh, the media library, the profile
// directory and the host's state queries.
#pragma once

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sdk/host_access.h"
#include "sdk/metadb.h"
#include "sdk/window.h"

namespace host_ops {

// The one registered service of class T: raises "Service not found" when there is
// none and "Service duplicated" when there are several.
template <class T>
service_ptr_t<T> find_single() {
    host_api* api = sdk_host();
    service_class_ref cls = api ? api->find_class(T::class_guid) : nullptr;
    size_t count = cls ? api->service_get_count(cls) : 0;
    if (count == 0)
        throw std::runtime_error("Service not found");
    if (count > 1)
        throw std::runtime_error("Service duplicated");
    service_ptr_t<service_base> instance;
    service_ptr_t<T> typed;
    if (!api->service_instance_create(instance, cls, 0) || !typed.query_from(instance.get_ptr())) {
        throw std::runtime_error("Service not found");
    }
    return typed;
}

// find_single, cached for the life of the module: the lookup runs once, under a
// lock of its own (the cache is tested again once the lock is held).
template <class T>
const service_ptr_t<T>& single() {
    static service_ptr_t<T> cached;
    static std::atomic<bool> ready{false};
    static std::mutex lock;
    if (!ready.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> guard(lock);
        if (!ready.load(std::memory_order_relaxed)) {
            cached = find_single<T>();
            ready.store(true, std::memory_order_release);
        }
    }
    return cached;
}

// The host's track handle for a location.
metadb_handle_ptr track_for(const playable_location& location);
// Asks the host to format and show these tracks again.
void refresh_tracks(const list_base_const_t<metadb_handle_ptr>& tracks);
bool in_media_library(const metadb_handle_ptr& track);

// Prints one line on every host console; skipped while services are off.
void console_print(std::string_view line);

// The profile directory as a file-system path (the host's URL without its scheme).
std::string profile_directory();
// `name` joined to the profile directory with the platform's separator.
std::string profile_file(std::string_view name);

// Answers yes while services are off, as a host that has not started yet would.
bool is_load_context();
// While services are off: whether they have ever been on (then the host is
// shutting down).
bool is_shutting_down();
HWND main_window();

}  // namespace host_ops
