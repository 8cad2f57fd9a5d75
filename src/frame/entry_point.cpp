// The component library's one exported function.
#include "frame/component_client.h"
#include "frame/component_state.h"

extern "C" SONARITH_EXPORT component_client* sonarith_get_interface(host_api* api,
                                                                    module_instance instance) {
    component_state::set_entry(api, instance);
    return component_client_instance();
}
