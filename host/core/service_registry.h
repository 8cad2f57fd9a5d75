// The host's service registry: the services of every loaded component, walked
// from their factory chains, and the host's own services, grouped by class GUID.
#pragma once

#include <absl/container/flat_hash_map.h>
#include <absl/hash/hash.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "sdk/component.h"
#include "sdk/host_api.h"

class service_registry {
public:
    // Registers a service the host itself provides.
    void add_service(const GUID& class_guid, service_ptr_t<service_base> instance);
    // Registers every factory of a component's chain, walked from its head.
    void add_factory_chain(service_factory_base* head);
    // Drops every component service, keeping the host's own.
    void remove_component_services();

    service_class_ref find_class(const GUID& guid) const;
    bool create(service_ptr_t<service_base>& out, service_class_ref cls, size_t index) const;
    size_t count(service_class_ref cls) const;

    // Every instance of class T, in registry order.
    template <class T>
    std::vector<service_ptr_t<T>> all() const {
        std::vector<service_ptr_t<T>> found;
        service_class_ref cls = find_class(T::class_guid);
        for (size_t i = 0, n = count(cls); i < n; ++i) {
            service_ptr_t<service_base> instance;
            service_ptr_t<T> typed;
            if (create(instance, cls, i) && typed.query_from(instance.get_ptr())) {
                found.push_back(typed);
            }
        }
        return found;
    }

private:
    struct source {
        service_factory_base* factory = nullptr;  // a component's service
        service_ptr_t<service_base> instance;     // or one of the host's own
    };
    struct service_class {
        GUID guid;
        std::vector<source> sources;
    };
    struct guid_hash {
        size_t operator()(const GUID& guid) const {
            uint64_t halves[2];
            std::memcpy(halves, &guid, sizeof halves);
            return absl::Hash<std::pair<uint64_t, uint64_t>>{}({halves[0], halves[1]});
        }
    };
    service_class& class_for(const GUID& guid);

    // Found by GUID, since components look classes up on every call of many
    // services; owned by pointer so that class references stay valid as classes
    // are added.
    absl::flat_hash_map<GUID, std::unique_ptr<service_class>, guid_hash> m_classes;
};
