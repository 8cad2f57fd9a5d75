// An in-process host with the component and the tests' two storage methods
// registered, and shorthand for what the tests look at: fields read through the
// service, message boxes, console lines and refresh notifications.
//
// The component's state lives as long as the module, so every test needs a freshly
// loaded one: ctest runs each test in a process of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frame/config_vars.h"
#include "service/tagshelf_impl.h"
#include "support/test_host.h"
#include "test_storage_method.h"

extern method_a_t method_a;
extern method_b_t method_b;

class service_test_host {
public:
    // `answer`: how message boxes are answered (default OK).
    explicit service_test_host(std::optional<bool> answer = {});

    // Starts the host with `configured` as the configured method.
    void start(const GUID& configured);
    void stop() { m_host.stop(); }

    host_session& session() { return m_host.session(); }
    metadb_handle_ptr track(const std::string& name, uint32_t subsong = 0) {
        return m_host.track(name, subsong);
    }
    tagshelf_impl& shelf() { return tagshelf_impl::instance(); }

    // Value `index` of field `name` of `track`, read through a new reader of the
    // service; "(none)" when there is no such value or no storage.
    std::string value(const metadb_handle_ptr& track, const char* name, size_t index = 0);
    // The file names of the tracks in each refresh notification so far.
    std::vector<std::vector<std::string>> refreshes();
    std::vector<shown_message_box> boxes() { return session().windows().prompts().message_boxes(); }
    const std::vector<std::string>& console() { return session().console().lines(); }

private:
    test_host m_host;
};

// The file name part of a track's path.
std::string file_name_of(const playable_location& location);
