#include "host/ui/window_text.h"

#include <algorithm>

namespace {

std::string check_state(WPARAM check) {
    switch (check) {
        case BST_CHECKED:
            return "checked";
        case BST_UNCHECKED:
            return "unchecked";
        default:
            return "indeterminate";
    }
}

std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void describe(const user_windows& windows, const window_state& window, int indent,
              std::string& out) {
    std::string pad(size_t(indent), ' ');
    if (window.kind == window_kind::dialog || window.kind == window_kind::frame) {
        for (HWND child : window.children) {
            std::optional<window_state> control = windows.state(child);
            if (!control)
                continue;
            bool container =
                control->kind == window_kind::dialog || control->kind == window_kind::frame;
            if (container && !control->visible)
                continue;
            describe(windows, *control, indent, out);
        }
        return;
    }

    std::string id = window.id == IDC_STATIC ? "-" : std::to_string(window.id);
    id.resize(std::max<size_t>(id.size(), 4), ' ');
    std::string line = pad + id + " ";
    line += window.is_multiline_edit() ? "multi-line edit" : std::string(kind_name(window.kind));
    bool has_lines = window.kind == window_kind::combo_box ||
                     window.kind == window_kind::list_box ||
                     window.kind == window_kind::tab_control;
    if (!has_lines)
        line += " " + quote_text(window.text);

    std::vector<std::string> state;
    if (window.kind == window_kind::check_box)
        state.push_back(check_state(window.check));
    if (has_lines) {
        bool tabs = window.kind == window_kind::tab_control;
        std::string summary = tabs ? plural(window.items.size(), "tab", "tabs")
                                   : plural(window.items.size(), "line", "lines");
        summary += window.selection < 0 ? ", none selected"
                                        : (tabs ? ", tab " : ", line ") +
                                              std::to_string(window.selection) + " selected";
        state.push_back(summary);
    }
    if (!window.enabled)
        state.push_back("disabled");
    if (!window.visible)
        state.push_back("hidden");
    if (!window.redraw)
        state.push_back("redraw off");
    if (!state.empty()) {
        line += ":";
        for (size_t i = 0; i < state.size(); ++i)
            line += (i ? ", " : " ") + state[i];
    }
    out += line + "\n";

    if (has_lines) {
        for (size_t i = 0; i < window.items.size(); ++i) {
            bool selected = int(i) == window.selection;
            out += pad + "     " + std::to_string(i) + (selected ? "* " : "  ") +
                   quote_text(window.items[i]) + "\n";
        }
    }
}

}  // namespace

std::string quote_text(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

std::string describe_window_tree(const user_windows& windows, HWND root, int indent) {
    std::string out;
    if (std::optional<window_state> window = windows.state(root))
        describe(windows, *window, indent, out);
    return out;
}
