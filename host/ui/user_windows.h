// The windows the host shows its dialogs in, as a user meets them: what each
// window shows, and the actions a user takes on the controls (click, tick,
// select, type, switch tabs), each delivering the notifications that user's
// action would. The preferences dialog and the page commands work through this;
// the headless window layer implements it, and on Windows the system's own
// windows do (system_windows.h).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/ui/window_state.h"

// A user's action that the control cannot take (disabled, hidden, wrong kind, index
// out of range); the message says why.
class user_action_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class user_windows {
public:
    virtual ~user_windows() = default;

    // A window of the host itself (main window, preferences dialog), shown at
    // once; `rect` is its place and the size of its inside.
    virtual HWND create_frame(HWND parent, std::string caption, RECT rect) = 0;
    // Destroys the window and its descendants; false for a window that does not
    // exist.
    virtual bool destroy_window(HWND window) = 0;
    virtual bool is_window(HWND window) = 0;
    // Whether the window and all its ancestors are visible.
    virtual bool is_window_visible(HWND window) = 0;
    // Places the window (x, y relative to its parent's client area, in pixels);
    // SWP_ flags as in Win32. For a frame, cx and cy are the size of its inside.
    virtual bool set_window_pos(HWND window, HWND insert_after, int x, int y, int cx, int cy,
                                UINT flags) = 0;

    // What the window shows now, or nothing for a window that does not exist.
    // Its `rect` is relative to the parent's client area and its `children` are
    // in creation (tab) order.
    virtual std::optional<window_state> state(HWND window) const = 0;
    // Every descendant of `root` (depth first, in creation order) with control id
    // `id`; dialogs are not controls and never match.
    virtual std::vector<HWND> find_controls(HWND root, int id) const = 0;

    // A user's actions. Each needs the control to exist, be visible and enabled,
    // and raises user_action_error otherwise.
    // Push button: BN_CLICKED. Check box: toggles its mark, then BN_CLICKED.
    virtual void click(HWND control) = 0;
    // Clicks a check box when its mark differs from `on`.
    virtual void set_check(HWND control, bool on) = 0;
    // Combo box: selects line `index` (CBN_SELCHANGE). List box: selects line
    // `index` (LBN_SELCHANGE), or with -1 cancels the selection (LBN_SELCANCEL).
    // Tab control: as select_tab.
    virtual void select(HWND control, int index) = 0;
    // Types `text` over the whole text of an edit, which sends EN_CHANGE; an empty
    // `text` deletes it. An upper-casing edit upper-cases what is typed; a
    // single-line edit keeps the first line.
    virtual void type_text(HWND control, std::string_view text) = 0;
    // Clicks tab `index`: TCN_SELCHANGING, the selection moves, TCN_SELCHANGE.
    // Clicking the selected tab does nothing.
    virtual void select_tab(HWND tab_control, int index) = 0;
};

// The state of `control` when a user could `action` it now ("click", "type
// into"): it exists, it and its ancestors are enabled, and it is visible. Raises
// user_action_error saying why not otherwise.
window_state usable_control(user_windows& windows, HWND control, const char* action);
// The state of `tab_control` when a user could click its tab `index` now: a usable
// tab control that has that tab. Raises user_action_error saying why not otherwise.
window_state usable_tab(user_windows& windows, HWND tab_control, int index);
