// A small two-tab dialog written as ordinary Win32 dialog code against the window
// layer, for driving the headless host's windows in tests. Every message its
// procedures act on is written to an event log, so a test sees which
// notifications arrived and in what order.
#pragma once

#include <string>
#include <vector>

#include "sdk/preferences_page.h"
#include "sdk/window.h"

// Tab host.
inline constexpr int IDT_TABS = 100;
// First tab.
inline constexpr int IDT_ENABLE = 201;  // auto check box; enables IDT_OPTION
inline constexpr int IDT_ASK = 202;     // asks a Yes/No question, shows the answer
inline constexpr int IDT_CHOICE = 203;  // drop-down list: "alpha", "beta", "gamma"
inline constexpr int IDT_LINES = 204;   // notifying list box: "one", "two"
inline constexpr int IDT_NAME = 205;    // single-line edit
inline constexpr int IDT_FIELD = 206;   // upper-casing edit
inline constexpr int IDT_NOTES = 207;   // multi-line edit
inline constexpr int IDT_STATUS = 208;  // label showing answers
inline constexpr int IDT_BROWSE = 209;  // open-file dialog, shows the path
inline constexpr int IDT_OPTION = 210;  // check box, disabled at first
// Second tab.
inline constexpr int IDT_OTHER = 301;       // push button
inline constexpr int IDT_QUIET_LIST = 302;  // list box without notifications

const dialog_template& test_host_template();
const dialog_template& test_first_tab_template();
const dialog_template& test_second_tab_template();

// Creates the tab host with both tabs under `parent`; tab 0 is shown.
HWND create_test_dialog(HWND parent);
// The tab windows of the last dialog created.
HWND test_tab_window(int index);

// What the procedures saw since the last clear, e.g. "201 clicked checked=1".
std::vector<std::string>& test_dialog_events();
// The last event, or "" when there is none.
std::string last_test_dialog_event();

// The test dialog as a preferences page named "Test Page".
service_ptr_t<preferences_page> make_test_page();
