#include "host/core/host_session.h"

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "host/core/component_library.h"
#include "host/core/local_filesystem.h"
#include "host/core/md5_hasher.h"
#include "host/core/profile.h"
#include "host/core/settings_file.h"
#include "host/titleformat/script_compiler.h"
#include "host/titleformat/track_formatter.h"
#include "host/ui/host_help_site.h"
#include "host/ui/system_windows.h"
#include "sdk/file.h"
#include "sdk/host_access.h"
#include "sdk/initquit.h"

namespace fs = std::filesystem;

host_session::host_session(host_options options)
    : m_options(std::move(options)), m_main_thread(std::this_thread::get_id()) {
    m_profile_directory = m_options.profile_directory.empty() ? default_profile_directory()
                                                              : m_options.profile_directory;
    // Absolute, and without a separator at the end unless it is the root.
    fs::path profile = fs::absolute(fs::u8path(m_profile_directory)).lexically_normal();
    while (profile.has_relative_path() && !profile.has_filename())
        profile = profile.parent_path();
    m_profile_directory = profile.u8string();
    fs::create_directories(profile);
    const auto wait_limit = std::chrono::milliseconds(std::llround(m_options.wait_seconds * 1000));
    m_profile_lock = std::make_unique<profile_lock>(m_profile_directory, wait_limit, [&] {
        std::fprintf(stderr,
                     "sonarith-host: waiting for another session of the profile %s to end (at "
                     "most %g s)\n",
                     m_profile_directory.c_str(), m_options.wait_seconds);
        std::fflush(stderr);
    });
    m_profile_url = "file://" + m_profile_directory;

    m_tracks = make_service<track_database>();
    m_library = make_service<media_library>(m_tracks);
    m_console = make_service<host_console>();
    m_refresh = make_service<refresh_service>();
    m_refresh->set_verbose(m_options.verbose);
    m_registry.add_service(metadb::class_guid, m_tracks);
    m_registry.add_service(library_manager::class_guid, m_library);
    m_registry.add_service(console_receiver::class_guid, m_console);
    m_registry.add_service(metadb_io::class_guid, m_refresh);
    bool interactive = m_options.ask_on_terminal && !m_options.answer && isatty(STDIN_FILENO);
    m_windows = make_service<headless_windows>(
        std::make_unique<user_prompts>(m_options.answer, m_options.file_answer, interactive));
    m_registry.add_service(window_system::class_guid, m_windows);
    m_prompt_hook = std::make_unique<system_prompt_hook>(m_windows->prompts());
    m_registry.add_service(help_site::class_guid, make_service<host_help_site>());
    // With the system's own windows the host program has no main window: its
    // dialogs and the components' message boxes are windows of their own.
    m_system_windows = make_system_windows();
    if (!m_system_windows)
        m_main_window = m_windows->create_frame(nullptr, get_host_name(), RECT{0, 0, 800, 600});
    m_registry.add_service(titleformat_compiler::class_guid, make_service<script_compiler>());
    m_registry.add_service(filesystem::class_guid, make_service<local_filesystem>());
    m_registry.add_service(hasher::class_guid, make_service<md5_hasher>());
    m_tracks->set_formatter(make_track_formatter(m_registry));
    m_library->load(m_profile_directory + path_separator + "library.txt");
    sdk_set_host(this);
}

host_session::~host_session() {
    try {
        stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sonarith-host: %s\n", e.what());
    }
    // The system's windows go while the components whose dialogs they may still
    // hold are loaded.
    m_system_windows.reset();
    // Components go before the host's own services, which they may still hold.
    m_registry.remove_component_services();
    m_components.clear();
    sdk_set_host(nullptr);
}

std::string host_session::component_directory() {
    return ::component_directory();
}

void host_session::load_components() {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(fs::u8path(component_directory()), error)) {
        if (item.path().extension() == component_library_extension)
            paths.push_back(item.path().u8string());
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& extra : m_options.extra_components) {
        paths.push_back(fs::absolute(fs::u8path(extra)).u8string());
    }
    for (const auto& path : paths) {
        auto component = std::make_unique<loaded_component>(path, this);
        m_registry.add_factory_chain(component->client().get_service_list());
        m_components.push_back(std::move(component));
    }
}

void host_session::load_builtin_component(sonarith_get_interface_t entry, const std::string& name) {
    auto component = std::make_unique<loaded_component>(entry, name, this);
    m_registry.add_factory_chain(component->client().get_service_list());
    m_components.push_back(std::move(component));
}

std::string host_session::settings_file(const loaded_component& component) const {
    return m_profile_directory + path_separator + "configuration" + path_separator +
           component.name() + ".cfg";
}

void host_session::read_settings(loaded_component& component) {
    auto data = read_whole_file(settings_file(component));
    if (!data)
        return;
    stream_reader_memblock reader(data->data(), data->size());
    abort_callback_dummy abort;
    bool read_in_full = false;
    try {
        component.client().set_config(&reader, abort);
        read_in_full = settings_read_in_full(component.client(), *data);
    } catch (const std::exception& e) {
        // A damaged settings file costs the settings read so far, never the session.
        std::fprintf(stderr, "sonarith-host: settings of %s are damaged: %s\n",
                     component.name().c_str(), e.what());
    }
    // Saving would lose what the component could not take in: the file is kept
    // as it is before it is first saved over.
    if (!read_in_full) {
        m_settings_read_in_part.push_back(settings_file(component));
        m_settings_damaged = true;
    }
}

void host_session::write_settings(loaded_component& component) {
    stream_writer_buffer buffer;
    abort_callback_dummy abort;
    component.client().get_config(&buffer, abort);
    const std::string path = settings_file(component);
    auto damaged = std::find(m_settings_read_in_part.begin(), m_settings_read_in_part.end(), path);
    if (damaged != m_settings_read_in_part.end()) {
        const std::string kept = keep_damaged_file(path);
        m_settings_read_in_part.erase(damaged);
        std::fprintf(stderr,
                     "sonarith-host: the settings file %s was not read completely; kept it as "
                     "%s before saving over it\n",
                     path.c_str(), kept.c_str());
    }
    write_file_atomically(path, buffer.data());
}

void host_session::notify_initquit(bool start) {
    for (auto& listener : m_registry.all<initquit>()) {
        if (m_options.verbose)
            std::fprintf(stderr, "[host] %s\n", start ? "start" : "stop");
        if (start) {
            listener->on_init();
        } else {
            listener->on_quit();
        }
    }
}

void host_session::start() {
    if (m_started)
        return;
    for (auto& component : m_components)
        read_settings(*component);
    for (auto& component : m_components)
        component->client().services_init(true);
    m_started = true;
    notify_initquit(true);
}

void host_session::stop() {
    if (!m_started)
        return;
    m_started = false;
    m_shutting_down = true;
    notify_initquit(false);
    for (auto& component : m_components) {
        try {
            write_settings(*component);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "sonarith-host: the settings of %s were not saved: %s\n",
                         component->name().c_str(), e.what());
            m_save_failed = true;
        }
    }
    for (auto& component : m_components)
        component->client().services_init(false);
    try {
        if (m_library->changed())
            m_library->save(m_profile_directory + path_separator + "library.txt");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sonarith-host: the media library was not saved: %s\n", e.what());
        m_save_failed = true;
    }
}

service_class_ref host_session::find_class(const GUID& guid) {
    return m_registry.find_class(guid);
}

bool host_session::service_instance_create(service_ptr_t<service_base>& out, service_class_ref cls,
                                           size_t index) {
    return m_registry.create(out, cls, index);
}

size_t host_session::service_get_count(service_class_ref cls) {
    return m_registry.count(cls);
}

bool host_session::is_load_context() {
    return std::this_thread::get_id() == m_main_thread;
}
