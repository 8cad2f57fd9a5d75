#include "support/test_host.h"

#include "frame/component_client.h"
#include "support/crash_child.h"

extern "C" component_client* sonarith_get_interface(host_api* api, module_instance instance);

test_host::test_host(bool start, host_options options)
    : m_profile_path(crash_child::in_child() ? crash_child::parent_profile() : m_profile.path()) {
    options.profile_directory =
        crash_child::in_child() ? crash_child::working_profile() : m_profile_path;
    options.ask_on_terminal = false;
    m_session = std::make_unique<host_session>(std::move(options));
    // Tests check which tracks each notification redrew.
    m_session->refreshes().set_keep_log(true);
    m_session->load_builtin_component(&sonarith_get_interface, "snr_tagshelf");
    if (start)
        m_session->start();
}

test_host::~test_host() {
    m_session.reset();
}

metadb_handle_ptr test_host::track(const std::string& name, uint32_t subsong) {
    return m_session->tracks().track(
        playable_location_impl(file_url(m_profile_path + "/music/" + name), subsong));
}
