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
