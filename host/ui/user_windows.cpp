#include "host/ui/user_windows.h"

window_state usable_control(user_windows& windows, HWND control, const char* action) {
    std::optional<window_state> target = windows.state(control);
    if (!target)
        throw user_action_error(std::string("cannot ") + action + ": the control does not exist");
    if (!windows.is_window_visible(control))
        throw user_action_error("cannot " + std::string(action) + " " + control_name(*target) +
                                ": it is hidden");
    for (auto w = target; w; w = windows.state(w->parent)) {
        if (!w->enabled)
            throw user_action_error("cannot " + std::string(action) + " " + control_name(*target) +
                                    ": it is disabled");
    }
    return *target;
}

window_state usable_tab(user_windows& windows, HWND tab_control, int index) {
    window_state target = usable_control(windows, tab_control, "select a tab of");
    if (target.kind != window_kind::tab_control)
        throw user_action_error("cannot select a tab of " + control_name(target) +
                                ": it is not a tab control");
    int count = int(target.items.size());
    if (index < 0 || index >= count) {
        throw user_action_error(
            "cannot select tab " + std::to_string(index) + ": there " +
            (count == 1 ? "is 1 tab" : "are " + std::to_string(count) + " tabs"));
    }
    return target;
}
