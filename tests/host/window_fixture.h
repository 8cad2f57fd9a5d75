// The test dialog opened under the main window of an in-process host session, with
// the host's headless window system at hand to act on it as a user would.
#pragma once

#include <gtest/gtest.h>

#include "support/system_features.h"
#include "support/test_host.h"
#include "window_test_dialog.h"

class window_test : public ::testing::Test {
protected:
    explicit window_test(host_options options = {}) : m_host(true, std::move(options)) {}
    void SetUp() override {
        SKIP_WITHOUT(headless_dialogs);
        test_dialog_events().clear();
        m_dialog = create_test_dialog(session().get_main_window());
    }
    ~window_test() override {
        if (m_dialog)
            windows().destroy_window(m_dialog);
    }

    host_session& session() { return m_host.session(); }
    headless_windows& windows() { return session().windows(); }
    HWND dialog() const { return m_dialog; }
    // The control with `id` anywhere in the dialog.
    HWND control(int id) { return windows().find_control(m_dialog, id); }
    const window_state& state(int id) { return *windows().find(control(id)); }
    std::vector<std::string>& events() { return test_dialog_events(); }

private:
    test_host m_host;
    HWND m_dialog = nullptr;
};
