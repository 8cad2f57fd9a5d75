// The test dialog opened in a window of its own in an in-process host session,
// with the windows the host shows its dialogs in at hand to act on it as a user
// would: the system's real windows where it has them, the headless ones elsewhere.
#pragma once

#include <gtest/gtest.h>

#include "support/test_host.h"
#include "window_test_dialog.h"

class window_test : public ::testing::Test {
protected:
    explicit window_test(host_options options = {}) : m_host(true, std::move(options)) {}
    void SetUp() override {
        test_dialog_events().clear();
        // A real child dialog needs a real parent: where the host program has no
        // main window of its own, the dialog gets a frame as a preferences page does.
        m_frame = windows().create_frame(session().get_main_window(), "Test", RECT{0, 0, 400, 300});
        m_dialog = create_test_dialog(m_frame);
        ASSERT_TRUE(windows().state(m_dialog)) << "the test dialog could not be created";
    }
    ~window_test() override {
        if (m_frame)
            windows().destroy_window(m_frame);
    }

    host_session& session() { return m_host.session(); }
    user_windows& windows() { return session().dialog_windows(); }
    // The answers to the message boxes and file dialogs the dialog shows.
    user_prompts& prompts() { return session().windows().prompts(); }
    HWND dialog() const { return m_dialog; }
    // The control with `id` anywhere in the dialog.
    HWND control(int id) {
        std::vector<HWND> found = windows().find_controls(m_dialog, id);
        return found.empty() ? nullptr : found.front();
    }
    window_state state(int id) {
        std::optional<window_state> found = windows().state(control(id));
        if (!found) {
            ADD_FAILURE() << "the dialog has no control " << id;
            return {};
        }
        return *found;
    }
    std::vector<std::string>& events() { return test_dialog_events(); }

private:
    test_host m_host;
    HWND m_frame = nullptr;
    HWND m_dialog = nullptr;
};
