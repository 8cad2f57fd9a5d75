// The messages a window's own class answers: texts, check marks, combo and list
// lines, tab items, redraw. Pure state changes; the notifications a change calls
// for are handed back to the caller, which delivers them.
#pragma once

#include <optional>

#include "host/ui/window_state.h"

// What a control answers to a message, and the notification the change calls for.
struct control_reply {
    LRESULT result = 0;
    // A WM_COMMAND notification the change sends to the parent (EN_CHANGE).
    std::optional<WORD> notification;
};

control_reply control_message(window_state& window, UINT message, WPARAM wparam, LPARAM lparam);

// The tab control's display area for a window rectangle, and back: the strip of
// tabs on top and a thin frame around the pages.
RECT tab_display_area(RECT window_rect);
RECT tab_window_rect(RECT display_area);
// Height of the strip of tabs, in pixels.
inline constexpr int tab_strip_height = 21;
