#include "host/core/service_registry.h"

#include <algorithm>

service_registry::service_class& service_registry::class_for(const GUID& guid) {
    std::unique_ptr<service_class>& cls = m_classes[guid];
    if (!cls) {
        cls = std::make_unique<service_class>();
        cls->guid = guid;
    }
    return *cls;
}

void service_registry::add_service(const GUID& class_guid, service_ptr_t<service_base> instance) {
    class_for(class_guid).sources.push_back({nullptr, std::move(instance)});
}

void service_registry::add_factory_chain(service_factory_base* head) {
    for (auto* factory = head; factory; factory = factory->get_next()) {
        class_for(factory->get_class_guid()).sources.push_back({factory, nullptr});
    }
}

void service_registry::remove_component_services() {
    for (auto& [guid, cls] : m_classes) {
        auto& sources = cls->sources;
        sources.erase(std::remove_if(sources.begin(), sources.end(),
                                     [](const source& s) { return s.factory != nullptr; }),
                      sources.end());
    }
}

service_class_ref service_registry::find_class(const GUID& guid) const {
    auto found = m_classes.find(guid);
    return found != m_classes.end() && !found->second->sources.empty() ? found->second.get()
                                                                       : nullptr;
}

bool service_registry::create(service_ptr_t<service_base>& out, service_class_ref cls,
                              size_t index) const {
    if (!cls)
        return false;
    const auto& sources = static_cast<const service_class*>(cls)->sources;
    if (index >= sources.size())
        return false;
    const source& s = sources[index];
    if (s.factory) {
        s.factory->instance_create(out);
    } else {
        out = s.instance;
    }
    return out.is_valid();
}

size_t service_registry::count(service_class_ref cls) const {
    return cls ? static_cast<const service_class*>(cls)->sources.size() : 0;
}
