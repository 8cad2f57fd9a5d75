// What the two tabs of the preferences page share while it is open: its windows,
// the guard against the page's own control changes, and the storage methods in
// the order the storage combo box lists them. There is one set for the module;
// opening the page again overwrites it.
#pragma once

#include <vector>

#include "sdk/guid.h"
#include "sdk/win32_types.h"

// The index of each tab, in the tab control and in page_windows.
inline constexpr int general_tab_index = 0;
inline constexpr int commands_tab_index = 1;
inline constexpr int prefs_tab_count = 2;

struct prefs_page_state {
    HWND parent = nullptr;
    HWND tab_host = nullptr;
    HWND tab_control = nullptr;
    // The window of each tab, by tab index.
    HWND page_windows[prefs_tab_count] = {nullptr, nullptr};
    // Set while the page fills its own controls: change notifications that the
    // filling causes are not the user's and are ignored.
    bool updating_controls = false;
    // The storage method of each line of the storage combo box; the null GUID for
    // "None (disabled)" on the first line.
    std::vector<GUID> storage_choice_guids;
};

prefs_page_state& prefs_page();

// Sets updating_controls for its lifetime and puts back what it was before, so a
// fill that runs inside another stays guarded to the end of the outer one.
class updating_controls_scope {
public:
    updating_controls_scope() : m_was(prefs_page().updating_controls) {
        prefs_page().updating_controls = true;
    }
    ~updating_controls_scope() { prefs_page().updating_controls = m_was; }
    updating_controls_scope(const updating_controls_scope&) = delete;
    updating_controls_scope& operator=(const updating_controls_scope&) = delete;

private:
    bool m_was;
};
