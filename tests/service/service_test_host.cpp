#include "service_test_host.h"

method_a_t method_a{method_a_guid, "Method A"};
method_b_t method_b{method_b_guid, "Method B"};

namespace {

host_options options_answering(std::optional<bool> answer) {
    host_options options;
    options.answer = answer;
    return options;
}

}  // namespace

service_test_host::service_test_host(std::optional<bool> answer)
    : m_host(false, options_answering(answer)) {
    method_a.register_with(session());
    method_b.register_with(session());
    // Most tests are not about the media library; the ones that are set it again.
    cfg_library_only = 0;
}

void service_test_host::start(const GUID& configured) {
    cfg_storage_method = configured;
    session().start();
}

std::string service_test_host::value(const metadb_handle_ptr& track, const char* name,
                                     size_t index) {
    service_ptr_t<tagshelf_reader> reader;
    if (!shelf().get_reader(reader))
        return "(none)";
    tagshelf_handle_ptr handle;
    reader->get_handle(handle, track);
    string8 out;
    return reader->get_value(handle, name, index, out) ? out.str() : "(none)";
}

std::vector<std::vector<std::string>> service_test_host::refreshes() {
    std::vector<std::vector<std::string>> named;
    for (const auto& notification : session().refreshes().log()) {
        named.emplace_back();
        for (const auto& location : notification)
            named.back().push_back(file_name_of(location));
    }
    return named;
}

std::string file_name_of(const playable_location& location) {
    std::string path = location.get_path();
    return path.substr(path.find_last_of("/\\") + 1);
}
