#include "frame/component_version.h"

#include "frame/component_state.h"

void componentversion_impl_simple::get_file_name(string_base& out) {
    out.set_string(component_state::module_file_name().c_str());
}

service_impl_single_t<componentversion_impl_simple>& component_version_record() {
    static service_impl_single_t<componentversion_impl_simple> record(
        "snr_tagshelf", "0.1.2", "Allows database-only info fields, without modifying files.\n");
    return record;
}
