// The Tag Shelf preferences page opened in the in-process host's preferences
// dialog, with the windows the host shows it in (headless, or the system's own)
// at hand to act on it as a user would, and shorthand for the storage and settings the page shows and changes.
//
// The component's state lives as long as the module, so every test needs a freshly
// loaded one: ctest runs each test in a process of its own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/ui/preferences_dialog.h"
#include "prefs/prefs_templates.h"
#include "support/test_host.h"

// The storage methods as the page lists them.
GUID config_storage_guid();
GUID sqlite_storage_guid();
GUID text_storage_guid();

class prefs_test : public ::testing::Test {
protected:
    prefs_test();
    ~prefs_test() override;

    host_session& session() { return m_host.session(); }
    // The windows the page is shown in.
    user_windows& windows() { return session().dialog_windows(); }
    // The host's answers to message boxes and file dialogs, and what they showed.
    user_prompts& prompts() { return session().windows().prompts(); }
    preferences_dialog& dialog() { return *m_dialog; }

    // Opens the page (closing it first when it is open), as the user does.
    void open_page();
    // Leaves the page: the host destroys it.
    void close_page();

    // A control of the page, its tab shown first.
    HWND control(int id) { return m_dialog->reveal_control(id); }
    // The page's control with `id`, without switching tabs.
    HWND find_control(int id);
    // What a control shows now, without switching tabs.
    window_state state(int id);
    std::string text(int id) { return state(id).text; }
    bool enabled(int id) { return state(id).enabled; }
    bool checked(int id) { return state(id).check == BST_CHECKED; }
    int selection(int id) { return state(id).selection; }
    std::vector<std::string> lines(int id) { return state(id).items; }

    // A user's actions.
    void click(int id) { windows().click(control(id)); }
    void select(int id, int index) { windows().select(control(id), index); }
    void type(int id, const std::string& text) { windows().type_text(control(id), text); }
    void set_check(int id, bool on) { windows().set_check(control(id), on); }
    // How the next questions are answered (yes/no), and the next file dialogs.
    void answer(bool yes) { prompts().set_answer(yes); }
    void answer_file(std::optional<std::string> path) {
        prompts().set_file_answer(std::move(path));
    }
    std::vector<shown_message_box> boxes() { return prompts().message_boxes(); }
    std::vector<shown_file_dialog> file_dialogs() { return prompts().file_dialogs(); }
    const std::vector<std::string>& console() { return session().console().lines(); }

    // Makes `method` the active storage, as a switch saved in the settings.
    void use_storage(const GUID& method);
    // A track whose file is in the profile's music folder; `exists` creates the
    // file, and the track is added to the media library.
    metadb_handle_ptr track(const std::string& name, bool exists = false);
    // Sets a field through the tagshelf service.
    void put(const metadb_handle_ptr& track, const char* name, const char* value);
    // The first value of a field, read through the service; "(none)" without one.
    std::string value(const metadb_handle_ptr& track, const char* name);
    // The statistics label's text, CR LF as "\n".
    std::string statistics();
    // The names of the context-menu commands the component offers now.
    std::vector<std::string> menu_commands();

private:
    test_host m_host;
    std::unique_ptr<preferences_dialog> m_dialog;
};

// The statistics text of a method with these counts, as the page shows it.
std::string statistics_of(const std::string& label, int entries, int values);
