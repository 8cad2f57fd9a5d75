// Where a module keeps the host interface it was given, and plain registry walks
// over it. Each module (the host program, each component) has its own copy.
#pragma once

#include <functional>

#include "sdk/exceptions.h"
#include "sdk/host_api.h"

void sdk_set_host(host_api* api);
// The host interface, or null before a host was given.
host_api* sdk_host();

// Calls `visit` with every registered service of class T, in registry order, until
// it answers false.
template <class T>
void service_enum(const std::function<bool(const service_ptr_t<T>&)>& visit) {
    host_api* api = sdk_host();
    if (!api)
        return;
    service_class_ref cls = api->find_class(T::class_guid);
    if (!cls)
        return;
    for (size_t index = 0;; ++index) {
        service_ptr_t<service_base> instance;
        if (!api->service_instance_create(instance, cls, index))
            break;
        service_ptr_t<T> typed;
        if (!typed.query_from(instance.get_ptr()))
            continue;
        if (!visit(typed))
            break;
    }
}

// The first registered service of class T, or none.
template <class T>
service_ptr_t<T> service_find_first() {
    service_ptr_t<T> found;
    service_enum<T>([&](const service_ptr_t<T>& s) {
        found = s;
        return false;
    });
    return found;
}
