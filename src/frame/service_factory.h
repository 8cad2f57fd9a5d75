// The component's chain of service factories. Every factory is a static object
// that links itself at the head of the chain when the library loads, so the host,
// walking from the head, meets the services in the reverse of their registration.
#pragma once

#include "sdk/component.h"

// The head of the chain: the factory registered last, or null.
service_factory_base*& service_factory_chain();

// Hands out one static service instance; its reference count never destroys it.
template <class T>
class service_factory_single_t final : public service_factory_base {
public:
    explicit service_factory_single_t(T& instance)
        : service_factory_base(T::interface_type::class_guid, service_factory_chain()),
          m_instance(instance) {}

    void instance_create(service_ptr_t<service_base>& out) override {
        out = static_cast<typename T::interface_type*>(&m_instance);
    }

private:
    T& m_instance;
};
