// An in-process host session with the component linked into the test program:
// the real stand-in host's services, a fresh profile directory, and the
// component's services registered as the host program registers them.
#pragma once

#include <memory>
#include <string>

#include "host/core/host_session.h"
#include "support/run_host.h"

class test_host {
public:
    // Loads the component and, when `start` is set, starts the session.
    explicit test_host(bool start = true, host_options options = {});
    ~test_host();

    host_session& session() { return *m_session; }
    const std::string& profile() const { return m_profile_path; }
    // The host's track handle for a file path in the profile's "music" folder.
    metadb_handle_ptr track(const std::string& name, uint32_t subsong = 0);
    // Sends the stop notification and saves the settings, as the host does at exit.
    // The component's statics live on in-process; tests of a real restart run the
    // host program instead.
    void stop() { m_session->stop(); }

private:
    temp_directory m_profile;
    // The fresh directory above. A crash_child's session works on a copy of its
    // parent's profile, and names tracks and files by the parent's.
    std::string m_profile_path;
    std::unique_ptr<host_session> m_session;
};
