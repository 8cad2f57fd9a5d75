// One host session: load the components, give them their settings, switch
// services on and send the start notification; at the end send the stop
// notification, save the settings and switch services off. The session is the
// host_api every component receives.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/core/component_loader.h"
#include "host/core/console.h"
#include "host/core/media_library.h"
#include "host/core/service_registry.h"
#include "host/core/tracks.h"
#include "host/ui/headless_windows.h"
#include "host/ui/system_prompt_hook.h"

class profile_lock;

struct host_options {
    std::string profile_directory;           // empty: the default
    std::optional<bool> answer;              // message boxes: yes/OK or no/Cancel
    std::optional<std::string> file_answer;  // file dialogs: this path; none cancels
    bool verbose = false;
    // Without an answer, whether message boxes ask on standard input when it is a
    // terminal (tests turn this off).
    bool ask_on_terminal = true;
    std::vector<std::string> extra_components;  // --component PATH
    // How long a session waits for another session of its profile to end.
    double wait_seconds = 60;
};

class host_session final : public host_api {
public:
    explicit host_session(host_options options);
    ~host_session();
    host_session(const host_session&) = delete;
    host_session& operator=(const host_session&) = delete;

    // Loads the components found beside the host program (and any extra ones).
    void load_components();
    // Loads a component linked into this program (for tests).
    void load_builtin_component(sonarith_get_interface_t entry, const std::string& name);
    // Reads settings, switches services on, sends the start notification.
    void start();
    // Sends the stop notification, writes settings and the library, switches
    // services off. A save that fails is told on standard error, and the others
    // are still made. Safe to call twice.
    void stop();
    // Whether the session failed where its command's exit status need not show
    // it: a component printed an error ("ERROR : ..."; every error box of the
    // component comes with one), did not take in its whole settings file (some
    // damage it cannot see, such as a record it skips whole), or settings or the
    // library could not be saved.
    bool failed() const {
        return m_save_failed || m_settings_damaged || m_console->error_printed();
    }

    const host_options& options() const { return m_options; }
    const std::string& profile_directory() const { return m_profile_directory; }
    service_registry& registry() { return m_registry; }
    track_database& tracks() { return *m_tracks; }
    media_library& library() { return *m_library; }
    host_console& console() { return *m_console; }
    refresh_service& refreshes() { return *m_refresh; }
    // The headless window layer: the components' window system where they have
    // no system of their own, and the questions they ask the user.
    headless_windows& windows() { return *m_windows; }
    // The windows the host shows its dialogs in: the system's own where it has
    // them, the headless ones otherwise.
    user_windows& dialog_windows() {
        return m_system_windows ? *m_system_windows : static_cast<user_windows&>(*m_windows);
    }
    const std::vector<std::unique_ptr<loaded_component>>& components() const {
        return m_components;
    }
    // Where a component's settings stream is kept.
    std::string settings_file(const loaded_component& component) const;
    // The folder the host loads components from.
    static std::string component_directory();

    // host_api
    service_class_ref find_class(const GUID& guid) override;
    bool service_instance_create(service_ptr_t<service_base>& out, service_class_ref cls,
                                 size_t index) override;
    size_t service_get_count(service_class_ref cls) override;
    HWND get_main_window() override { return m_main_window; }
    const char* get_host_name() override { return "sonarith-host 1.0"; }
    bool is_load_context() override;
    bool is_shutting_down() override { return m_shutting_down; }
    const char* get_profile_path() override { return m_profile_url.c_str(); }

    void set_main_window(HWND window) { m_main_window = window; }

private:
    void read_settings(loaded_component& component);
    void write_settings(loaded_component& component);
    void notify_initquit(bool start);

    host_options m_options;
    std::string m_profile_directory;
    std::string m_profile_url;
    // Held from before anything of the profile is read until after everything is
    // written: declared before the other members, it is released after them.
    std::unique_ptr<profile_lock> m_profile_lock;
    service_registry m_registry;
    std::vector<std::unique_ptr<loaded_component>> m_components;
    service_ptr_t<track_database> m_tracks;
    service_ptr_t<media_library> m_library;
    service_ptr_t<host_console> m_console;
    service_ptr_t<refresh_service> m_refresh;
    service_ptr_t<headless_windows> m_windows;
    std::unique_ptr<user_windows> m_system_windows;
    // Answers the system's own message boxes and file dialogs, where components
    // show those; goes before the prompts it answers with.
    std::unique_ptr<system_prompt_hook> m_prompt_hook;
    HWND m_main_window = nullptr;
    std::thread::id m_main_thread;
    bool m_started = false;
    bool m_shutting_down = false;
    bool m_save_failed = false;
    bool m_settings_damaged = false;
    // Settings files that the components did not take in whole: each is kept
    // aside before it is first saved over.
    std::vector<std::string> m_settings_read_in_part;
};
