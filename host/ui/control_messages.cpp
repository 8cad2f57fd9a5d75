#include "host/ui/control_messages.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "sdk/utf8.h"

namespace {

constexpr int tab_frame = 4;

// Copies `text` into a caller's buffer of `capacity` bytes (terminator included),
// cut at a character boundary; answers the bytes copied.
LRESULT copy_text(const std::string& text, char* buffer, size_t capacity) {
    if (!buffer || capacity == 0)
        return 0;
    size_t length = std::min(text.size(), capacity - 1);
    // Never hand out half a UTF-8 sequence.
    while (length > 0 && length < text.size() &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return LRESULT(length);
}

const char* text_argument(LPARAM lparam) {
    const char* text = reinterpret_cast<const char*>(lparam);
    return text ? text : "";
}

std::string upper(std::string_view text) {
    std::string out;
    utf8_append_upper(out, text);
    return out;
}

// Where a line goes in a sorted list: after every line that sorts before or with it.
size_t sorted_position(const std::vector<std::string>& items, const std::string& text) {
    size_t at = 0;
    while (at < items.size() && stricmp_utf8(items[at].c_str(), text.c_str()) <= 0)
        ++at;
    return at;
}

// The list operations shared by combo boxes, list boxes and tab controls.
struct list_ops {
    window_state& window;
    LRESULT error;

    LRESULT insert(WPARAM wparam, std::string text) {
        int index = int(wparam);
        int count = int(window.items.size());
        if (index == -1)
            index = count;
        if (index < 0 || index > count)
            return error;
        window.items.insert(window.items.begin() + index, std::move(text));
        if (window.selection >= index)
            ++window.selection;
        return index;
    }
    LRESULT add(std::string text, bool sorted) {
        size_t at = sorted ? sorted_position(window.items, text) : window.items.size();
        return insert(WPARAM(at), std::move(text));
    }
    LRESULT erase(WPARAM wparam) {
        int index = int(wparam);
        if (index < 0 || index >= int(window.items.size()))
            return error;
        window.items.erase(window.items.begin() + index);
        if (window.selection == index)
            window.selection = -1;
        else if (window.selection > index)
            --window.selection;
        return LRESULT(window.items.size());
    }
    LRESULT reset() {
        window.items.clear();
        window.selection = -1;
        return 0;
    }
    // An index outside the lines (-1 included) clears the selection.
    LRESULT select(WPARAM wparam) {
        int index = int(wparam);
        if (index < 0 || index >= int(window.items.size())) {
            window.selection = -1;
            return error;
        }
        window.selection = index;
        return index;
    }
    LRESULT text_length(WPARAM wparam) const {
        int index = int(wparam);
        if (index < 0 || index >= int(window.items.size()))
            return error;
        return LRESULT(window.items[size_t(index)].size());
    }
    // Win32 lets the caller size the buffer with the length query first.
    LRESULT text(WPARAM wparam, LPARAM lparam) const {
        LRESULT length = text_length(wparam);
        if (length < 0)
            return error;
        return copy_text(window.items[size_t(wparam)], reinterpret_cast<char*>(lparam),
                         size_t(length) + 1);
    }
};

control_reply button_message(window_state& window, UINT message, WPARAM wparam) {
    switch (message) {
        case BM_GETCHECK:
            return {LRESULT(window.check), {}};
        case BM_SETCHECK:
            window.check = wparam;
            return {0, {}};
    }
    return {};
}

control_reply combo_message(window_state& window, UINT message, WPARAM wparam, LPARAM lparam) {
    list_ops lines{window, CB_ERR};
    switch (message) {
        case CB_ADDSTRING:
            return {lines.add(text_argument(lparam), window.has_style(CBS_SORT)), {}};
        case CB_INSERTSTRING:
            return {lines.insert(wparam, text_argument(lparam)), {}};
        case CB_DELETESTRING:
            return {lines.erase(wparam), {}};
        case CB_RESETCONTENT:
            return {lines.reset(), {}};
        case CB_GETCOUNT:
            return {LRESULT(window.items.size()), {}};
        case CB_GETCURSEL:
            return {window.selection, {}};
        case CB_SETCURSEL:
            return {lines.select(wparam), {}};
        case CB_GETLBTEXTLEN:
            return {lines.text_length(wparam), {}};
        case CB_GETLBTEXT:
            return {lines.text(wparam, lparam), {}};
    }
    return {};
}

control_reply list_message(window_state& window, UINT message, WPARAM wparam, LPARAM lparam) {
    list_ops lines{window, LB_ERR};
    switch (message) {
        case LB_ADDSTRING:
            return {lines.add(text_argument(lparam), window.has_style(LBS_SORT)), {}};
        case LB_INSERTSTRING:
            return {lines.insert(wparam, text_argument(lparam)), {}};
        case LB_DELETESTRING:
            return {lines.erase(wparam), {}};
        case LB_RESETCONTENT:
            return {lines.reset(), {}};
        case LB_GETCOUNT:
            return {LRESULT(window.items.size()), {}};
        case LB_GETCURSEL:
            return {window.selection, {}};
        case LB_SETCURSEL:
            return {lines.select(wparam), {}};
        case LB_GETTEXTLEN:
            return {lines.text_length(wparam), {}};
        case LB_GETTEXT:
            return {lines.text(wparam, lparam), {}};
    }
    return {};
}

control_reply tab_message(window_state& window, UINT message, WPARAM wparam, LPARAM lparam) {
    list_ops tabs{window, -1};
    switch (message) {
        case TCM_INSERTITEMA: {
            auto* item = reinterpret_cast<const TCITEMA*>(lparam);
            if (!item)
                return {-1, {}};
            std::string text = (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : "";
            // Past the end means at the end.
            WPARAM at = std::min<WPARAM>(wparam, window.items.size());
            LRESULT index = tabs.insert(at, std::move(text));
            // A tab control with tabs always has one selected.
            if (index >= 0 && window.selection < 0)
                window.selection = 0;
            return {index, {}};
        }
        case TCM_GETITEMA: {
            auto* item = reinterpret_cast<TCITEMA*>(lparam);
            int index = int(wparam);
            if (!item || index < 0 || index >= int(window.items.size()))
                return {FALSE, {}};
            if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0)
                copy_text(window.items[size_t(index)], item->pszText, size_t(item->cchTextMax));
            return {TRUE, {}};
        }
        case TCM_DELETEITEM:
            return {tabs.erase(wparam) >= 0 ? TRUE : FALSE, {}};
        case TCM_DELETEALLITEMS:
            tabs.reset();
            return {TRUE, {}};
        case TCM_GETITEMCOUNT:
            return {LRESULT(window.items.size()), {}};
        case TCM_GETCURSEL:
            return {window.selection, {}};
        case TCM_SETCURSEL: {
            int index = int(wparam);
            if (index < 0 || index >= int(window.items.size()))
                return {-1, {}};
            int previous = window.selection;
            window.selection = index;
            return {previous, {}};
        }
        case TCM_ADJUSTRECT: {
            auto* rect = reinterpret_cast<RECT*>(lparam);
            if (rect)
                *rect = wparam ? tab_window_rect(*rect) : tab_display_area(*rect);
            return {0, {}};
        }
    }
    return {};
}

}  // namespace

RECT tab_display_area(RECT r) {
    return {r.left + tab_frame, r.top + tab_strip_height + tab_frame, r.right - tab_frame,
            r.bottom - tab_frame};
}

RECT tab_window_rect(RECT r) {
    return {r.left - tab_frame, r.top - tab_strip_height - tab_frame, r.right + tab_frame,
            r.bottom + tab_frame};
}

control_reply control_message(window_state& window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SETTEXT: {
            const char* text = text_argument(lparam);
            window.text = window.kind == window_kind::edit && window.has_style(ES_UPPERCASE)
                              ? upper(text)
                              : std::string(text);
            // Win32 edits report a new text as a change, except multi-line ones.
            if (window.kind == window_kind::edit && !window.is_multiline_edit())
                return {TRUE, EN_CHANGE};
            return {TRUE, {}};
        }
        case WM_GETTEXTLENGTH:
            if (window.kind == window_kind::combo_box)
                return {window.selection < 0
                            ? 0
                            : LRESULT(window.items[size_t(window.selection)].size()),
                        {}};
            return {LRESULT(window.text.size()), {}};
        case WM_GETTEXT:
            if (window.kind == window_kind::combo_box) {
                std::string shown =
                    window.selection < 0 ? "" : window.items[size_t(window.selection)];
                return {copy_text(shown, reinterpret_cast<char*>(lparam), size_t(wparam)), {}};
            }
            return {copy_text(window.text, reinterpret_cast<char*>(lparam), size_t(wparam)), {}};
        case WM_SETREDRAW:
            window.redraw = wparam != 0;
            return {0, {}};
    }
    switch (window.kind) {
        case window_kind::check_box:
        case window_kind::push_button:
            return button_message(window, message, wparam);
        case window_kind::combo_box:
            return combo_message(window, message, wparam, lparam);
        case window_kind::list_box:
            return list_message(window, message, wparam, lparam);
        case window_kind::tab_control:
            return tab_message(window, message, wparam, lparam);
        default:
            return {};
    }
}
