#include "host/ui/window_state.h"

window_kind control_kind(control_class cls, DWORD style) {
    switch (cls) {
        case control_class::button:
            switch (style & BS_TYPEMASK) {
                case BS_CHECKBOX:
                case BS_AUTOCHECKBOX:
                    return window_kind::check_box;
                case BS_GROUPBOX:
                    return window_kind::group_box;
                default:
                    return window_kind::push_button;
            }
        case control_class::edit:
            return window_kind::edit;
        case control_class::static_text:
            return window_kind::label;
        case control_class::list_box:
            return window_kind::list_box;
        case control_class::combo_box:
            return window_kind::combo_box;
        case control_class::tab_control:
            return window_kind::tab_control;
    }
    return window_kind::label;
}

std::string_view kind_name(window_kind kind) {
    switch (kind) {
        case window_kind::frame:
            return "window";
        case window_kind::dialog:
            return "dialog";
        case window_kind::push_button:
            return "push button";
        case window_kind::check_box:
            return "check box";
        case window_kind::group_box:
            return "group box";
        case window_kind::label:
            return "label";
        case window_kind::edit:
            return "edit";
        case window_kind::combo_box:
            return "combo box";
        case window_kind::list_box:
            return "list box";
        case window_kind::tab_control:
            return "tab control";
    }
    return "window";
}

std::string control_name(const window_state& window) {
    std::string out(kind_name(window.kind));
    if (window.id != IDC_STATIC && window.id != 0)
        out += " " + std::to_string(window.id);
    if (!window.text.empty() && window.kind != window_kind::edit)
        out += " \"" + first_line(window.text) + "\"";
    return out;
}

std::string first_line(std::string_view text) {
    size_t end = text.find_first_of("\r\n");
    return std::string(text.substr(0, end));
}
