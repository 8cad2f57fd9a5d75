#include "frame/component_version.h"

#include "frame/component_identity.h"
#include "frame/component_state.h"

void componentversion_impl_simple::get_file_name(string_base& out) {
    out.set_string(component_state::module_file_name().c_str());
}

service_impl_single_t<componentversion_impl_simple>& component_version_record() {
    static service_impl_single_t<componentversion_impl_simple> record(
        TAGSHELF_COMPONENT_NAME, TAGSHELF_COMPONENT_VERSION, TAGSHELF_COMPONENT_ABOUT);
    return record;
}
