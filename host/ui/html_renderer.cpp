#include "host/ui/html_renderer.h"

#include "host/ui/control_messages.h"

namespace {

std::string style_sheet() {
    return std::string(R"(
@font-face { font-family: 'Tahoma stand-in'; src: local('DejaVu Sans Condensed'),
             local('DejaVuSansCondensed'); size-adjust: 90%; }
body { background: #d8d8d8; font-family: Tahoma, 'Tahoma stand-in', sans-serif; margin: 16px; }
h1 { font-size: 16px; }
h2 { font-size: 13px; margin: 20px 0 6px; }
.w { position: absolute; box-sizing: border-box; overflow: hidden; font-size: 8pt; }
.root { position: relative; background: #f0f0f0; border: 1px solid #a0a0a0; }
.dialog, .frame { background: #f0f0f0; }
.disabled { color: #8c8c8c; }
.button { border: 1px solid #adadad; background: #e1e1e1; display: flex; align-items: center;
          justify-content: center; text-align: center; }
.check { display: flex; align-items: flex-start; gap: 4px; white-space: normal; }
.check.single { white-space: nowrap; align-items: center; }
.check .box { flex: none; width: 11px; height: 11px; border: 1px solid #333; background: #fff;
              font-size: 10px; line-height: 10px; text-align: center; }
.disabled.check .box { border-color: #aaa; background: #f4f4f4; }
.group { border: 1px solid #dcdcdc; border-top: none; overflow: visible; }
.group::before { content: ""; position: absolute; left: 0; right: 0; top: 6px;
                 border-top: 1px solid #dcdcdc; }
.group .legend { position: absolute; top: 0; left: 6px; padding: 0 2px; background: #f0f0f0;
                 line-height: 13px; }
.label { white-space: pre-wrap; }
.label.nowrap { white-space: pre; }
.edit { border: 1px solid #7a7a7a; background: #fff; padding: 1px 2px; white-space: pre;
        overflow: hidden; }
.edit.multi { white-space: pre-wrap; overflow-y: auto; }
.disabled.edit, .disabled.list, .disabled.combo { background: #f0f0f0; }
.combo { border: 1px solid #7a7a7a; background: #fff; padding: 2px 20px 2px 3px;
         white-space: pre; }
.combo .arrow { position: absolute; right: 0; top: 0; bottom: 0; width: 16px;
                border-left: 1px solid #c8c8c8; text-align: center; }
.list { border: 1px solid #828790; background: #fff; overflow-y: auto; }
.list .line { white-space: pre; padding: 0 2px; line-height: 13px; }
.list .line.selected { background: #0078d7; color: #fff; }
.tabs .strip { position: absolute; left: 0; top: 0; height: )") +
           std::to_string(tab_strip_height) + R"(px; display: flex;
               align-items: flex-end; }
.tabs .tab { border: 1px solid #d9d9d9; border-bottom: none; background: #f0f0f0;
             padding: 2px 6px; margin-right: -1px; height: 14px; white-space: pre; }
.tabs .tab.selected { background: #fff; height: 16px; }
.tabs .body { position: absolute; left: 0; right: 0; bottom: 0; top: )" +
           std::to_string(tab_strip_height) + R"(px;
              border: 1px solid #d9d9d9; background: #fff; }
.redraw-off { outline: 2px dashed #c00; }
)";
}

std::string class_of(window_kind kind) {
    switch (kind) {
        case window_kind::frame:
            return "frame";
        case window_kind::dialog:
            return "dialog";
        case window_kind::push_button:
            return "button";
        case window_kind::check_box:
            return "check";
        case window_kind::group_box:
            return "group";
        case window_kind::label:
            return "label";
        case window_kind::edit:
            return "edit";
        case window_kind::combo_box:
            return "combo";
        case window_kind::list_box:
            return "list";
        case window_kind::tab_control:
            return "tabs";
    }
    return "frame";
}

std::string inner(const window_state& window) {
    switch (window.kind) {
        case window_kind::check_box: {
            std::string mark = window.check == BST_CHECKED         ? "&#10003;"
                               : window.check == BST_INDETERMINATE ? "&#9632;"
                                                                   : "";
            return "<span class=\"box\">" + mark + "</span><span class=\"text\">" +
                   html_escape(window.text) + "</span>";
        }
        case window_kind::group_box:
            return "<span class=\"legend\">" + html_escape(window.text) + "</span>";
        case window_kind::combo_box: {
            std::string shown = window.selection < 0 ? "" : window.items[size_t(window.selection)];
            return html_escape(shown) + "<span class=\"arrow\">&#9662;</span>";
        }
        case window_kind::list_box: {
            std::string out;
            for (size_t i = 0; i < window.items.size(); ++i) {
                bool selected = int(i) == window.selection;
                out += std::string("<div class=\"line") + (selected ? " selected" : "") + "\">" +
                       html_escape(window.items[i]) + "</div>";
            }
            return out;
        }
        case window_kind::tab_control: {
            std::string out = "<div class=\"strip\">";
            for (size_t i = 0; i < window.items.size(); ++i) {
                bool selected = int(i) == window.selection;
                out += std::string("<span class=\"tab") + (selected ? " selected" : "") + "\">" +
                       html_escape(window.items[i]) + "</span>";
            }
            return out + "</div><div class=\"body\"></div>";
        }
        case window_kind::dialog:
        case window_kind::frame:
            return "";
        default:
            return html_escape(window.text);
    }
}

// Where a tooltip tells what the control is: its id, kind and lines.
std::string tooltip(const window_state& window) {
    std::string out(kind_name(window.kind));
    if (window.id != IDC_STATIC && window.id != 0)
        out += " " + std::to_string(window.id);
    if (!window.enabled)
        out += ", disabled";
    if (window.kind == window_kind::combo_box) {
        for (const auto& item : window.items)
            out += "\n" + item;
    }
    return out;
}

// Where a dialog's font is not installed, a face of about its width stands in,
// so that text sized for the dialog still fits its controls. Tahoma is a narrow
// sans-serif; DejaVu Sans Condensed (Debian's fonts-dejavu-extra) is the
// nearest that a Linux machine usually has, but runs about a tenth wider at
// this size, so the style sheet scales it to Tahoma's width.
std::string font_family(const std::string& font) {
    std::string family = "'" + html_escape(font) + "',";
    if (font == "Tahoma" || font == "MS Shell Dlg" || font == "MS Shell Dlg 2")
        family += "'Tahoma stand-in',";
    return family + "sans-serif";
}

void draw(const user_windows& windows, const window_state& window, bool is_root, int indent,
          std::string& out) {
    std::string pad(size_t(indent) * 2, ' ');
    std::string classes = "w " + class_of(window.kind);
    if (is_root)
        classes += " root";
    if (!window.enabled)
        classes += " disabled";
    if (window.is_multiline_edit())
        classes += " multi";
    if (window.kind == window_kind::check_box && !window.has_style(BS_MULTILINE))
        classes += " single";
    if (window.kind == window_kind::label && (window.style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP)
        classes += " nowrap";
    if (!window.redraw)
        classes += " redraw-off";
    std::string style = "left:" + std::to_string(is_root ? 0 : window.rect.left) +
                        "px;top:" + std::to_string(is_root ? 0 : window.rect.top) +
                        "px;width:" + std::to_string(window.width()) +
                        "px;height:" + std::to_string(window.height()) + "px";
    if (!window.font.empty()) {
        style += ";font-family:" + font_family(window.font) +
                 ";font-size:" + std::to_string(window.font_size) + "pt";
    }
    out += pad + "<div class=\"" + classes + "\"";
    if (window.id != IDC_STATIC && window.id != 0)
        out += " data-id=\"" + std::to_string(window.id) + "\"";
    out += " data-kind=\"" + std::string(kind_name(window.kind)) + "\" title=\"" +
           html_escape(tooltip(window)) + "\" style=\"" + style + "\">" + inner(window);
    bool first_child = true;
    for (HWND child : window.children) {
        std::optional<window_state> control = windows.state(child);
        if (!control || !control->visible)
            continue;
        if (first_child)
            out += "\n";
        first_child = false;
        draw(windows, *control, false, indent + 1, out);
    }
    if (!first_child)
        out += pad;
    out += "</div>\n";
}

}  // namespace

std::string html_escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void html_renderer::add_view(const user_windows& windows, HWND root, std::string caption) {
    html_view view{std::move(caption), root, {}};
    if (std::optional<window_state> window = windows.state(root))
        draw(windows, *window, true, 1, view.drawing);
    m_views.push_back(std::move(view));
}

std::string html_renderer::document() const {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<title>" + html_escape(m_title) + "</title>\n<style>" + style_sheet() + "</style>\n";
    out += "</head>\n<body>\n<h1>" + html_escape(m_title) + "</h1>\n";
    for (const auto& view : m_views) {
        out += "<section>\n<h2>" + html_escape(view.caption) + "</h2>\n" + view.drawing +
               "</section>\n";
    }
    return out + "</body>\n</html>\n";
}
