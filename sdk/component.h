// The contract between the host and a component library: the one exported entry
// point, the client object it returns, and the chain of service factories.
#pragma once

#include <cstdint>

#include "sdk/abort.h"
#include "sdk/host_api.h"
#include "sdk/service.h"
#include "sdk/stream.h"

// One registered service: the head of a component's chain is walked with `next`.
class service_factory_base {
public:
    // Hands out the service instance (a new reference) into `out`.
    virtual void instance_create(service_ptr_t<service_base>& out) = 0;

    const GUID& get_class_guid() const { return m_class_guid; }
    service_factory_base* get_next() const { return m_next; }

protected:
    service_factory_base(const GUID& class_guid, service_factory_base*& chain_head)
        : m_class_guid(class_guid), m_next(chain_head) {
        chain_head = this;
    }
    ~service_factory_base() = default;

private:
    const GUID& m_class_guid;
    service_factory_base* m_next;
};

class component_client {
public:
    virtual uint32_t get_version() = 0;
    virtual service_factory_base* get_service_list() = 0;
    // Writes every persistent setting of the component into `out`.
    virtual void get_config(stream_writer* out, abort_callback& abort) = 0;
    // Reads settings written by get_config (perhaps by another version).
    virtual void set_config(stream_reader* in, abort_callback& abort) = 0;
    virtual void set_library_path(const char* path, const char* name) = 0;
    virtual void services_init(bool available) = 0;
    virtual bool is_debug() = 0;

protected:
    ~component_client() = default;
};

// The version of this contract; a host refuses components of another version.
inline constexpr uint32_t component_client_version = 71;

// Marks the one function a component library exports.
#ifdef _WIN32
#define SONARITH_EXPORT __declspec(dllexport)
#else
#define SONARITH_EXPORT __attribute__((visibility("default")))
#endif

// The one exported function of a component library.
extern "C" {
typedef component_client* (*sonarith_get_interface_t)(host_api* api, module_instance instance);
}
inline constexpr const char* component_entry_point_name = "sonarith_get_interface";
