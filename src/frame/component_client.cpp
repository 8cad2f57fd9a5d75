// The client object the host receives from the entry point.
#include "frame/component_client.h"

#include "frame/component_state.h"
#include "frame/service_factory.h"

namespace {

class my_component_client final : public component_client {
public:
    uint32_t get_version() override { return component_client_version; }
    service_factory_base* get_service_list() override { return service_factory_chain(); }
    void get_config(stream_writer* out, abort_callback& abort) override {
        write_settings(*out, abort);
    }
    void set_config(stream_reader* in, abort_callback& abort) override {
        read_settings(*in, abort);
    }
    void set_library_path(const char* path, const char* name) override {
        component_state::set_module_path(path, name);
    }
    void services_init(bool available) override {
        component_state::set_services_available(available);
    }
    bool is_debug() override { return false; }
};

my_component_client g_client;

}  // namespace

component_client* component_client_instance() {
    return &g_client;
}
