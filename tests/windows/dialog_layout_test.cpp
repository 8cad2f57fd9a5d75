// The preferences page as the system lays it out: the host opens the page in a
// real window, as for `prefs show`, and each tab in turn is read from the real
// window rectangles. Every control of the tab has to be visible, lie inside the
// tab control's display area, overlap no other control (a group box frames the
// controls within it) and show its whole text in the font it draws with.
//
//   dialog_layout_test      (under wine64, with a display: xvfb-run)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/core/host_session.h"
#include "host/ui/preferences_dialog.h"
#include "sdk/utf16_win32.h"

namespace {

namespace fs = std::filesystem;

bool inside(const RECT& a, const RECT& b) {
    return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
}

bool overlap(const RECT& a, const RECT& b) {
    return std::min(a.right, b.right) > std::max(a.left, b.left) &&
           std::min(a.bottom, b.bottom) > std::max(a.top, b.top);
}

RECT screen_rect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Measures text in the font a control draws with.
class text_measure {
public:
    explicit text_measure(HWND control) : m_control(control), m_dc(GetDC(control)) {
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        m_old = SelectObject(m_dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    }
    ~text_measure() {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_control, m_dc);
    }
    text_measure(const text_measure&) = delete;
    text_measure& operator=(const text_measure&) = delete;

    // One line of text.
    SIZE extent(const std::wstring& text) const {
        SIZE size{};
        GetTextExtentPoint32W(m_dc, text.c_str(), int(text.size()), &size);
        return size;
    }
    // Text broken into lines as the control breaks it: at its line breaks, and
    // with `wrap` also at words to stay within `width`.
    SIZE block(const std::wstring& text, int width, bool wrap) const {
        RECT rect{0, 0, width, 0};
        DrawTextW(m_dc, text.c_str(), int(text.size()), &rect,
                  DT_CALCRECT | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : 0));
        return SIZE{rect.right, rect.bottom};
    }

private:
    HWND m_control;
    HDC m_dc;
    HGDIOBJ m_old;
};

// What of the control's text does not fit ("64x13 in 62x13"); empty when the
// control shows its whole text. Lists and edits scroll theirs.
std::string text_overflow(HWND control, const window_state& state) {
    RECT client{};
    GetClientRect(control, &client);
    int width = client.right;
    int height = client.bottom;
    std::wstring text = utf8_to_wide(state.text);
    text_measure measure(control);
    auto fits = [](SIZE size, int w, int h) {
        if (size.cx <= w && size.cy <= h)
            return std::string();
        return std::to_string(size.cx) + "x" + std::to_string(size.cy) + " in " +
               std::to_string(w) + "x" + std::to_string(h);
    };
    switch (state.kind) {
        case window_kind::push_button:
            // Inside the button's raised edge.
            return fits(measure.extent(text), width - 4, height - 4);
        case window_kind::check_box: {
            // Beside the box and its gap.
            int room = width - GetSystemMetrics(SM_CXMENUCHECK) - 4;
            if (state.has_style(BS_MULTILINE))
                return fits(measure.block(text, room, true), room, height);
            return fits(measure.extent(text), room, height);
        }
        case window_kind::group_box:
            // The legend sits in the top edge, clear of the corners.
            return fits(measure.extent(text), width - 16, height);
        case window_kind::label: {
            bool wrap = (state.style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP;
            return fits(measure.block(text, width, wrap), width, height);
        }
        case window_kind::tab_control:
            for (size_t i = 0; i < state.items.size(); ++i) {
                RECT item{};
                SendMessageW(control, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&item));
                if (!inside(item, client))
                    return "tab " + std::to_string(i) + " lies outside the control";
                std::string overflow = fits(measure.extent(utf8_to_wide(state.items[i])),
                                            item.right - item.left, height);
                if (!overflow.empty())
                    return "tab " + std::to_string(i) + ": " + overflow;
            }
            return {};
        default:
            return {};
    }
}

// Checks the tab that is shown; answers the number of controls checked.
int check_tab(user_windows& windows, HWND tab_control, const std::string& tab,
              std::vector<std::string>& faults) {
    auto fault = [&](const std::string& text) { faults.push_back(tab + ": " + text); };
    auto name = [&](HWND window) { return control_name(*windows.state(window)); };

    RECT area = screen_rect(tab_control);
    TabCtrl_AdjustRect(tab_control, FALSE, &area);
    if (!IsWindowVisible(tab_control))
        fault("the tab control is not visible");
    std::string overflow = text_overflow(tab_control, *windows.state(tab_control));
    if (!overflow.empty())
        fault("the tab names do not fit: " + overflow);

    // The tab's page: the dialog beside the tab control that is shown.
    std::vector<HWND> pages;
    std::vector<HWND> siblings = windows.state(GetParent(tab_control))->children;
    for (HWND sibling : siblings) {
        if (windows.state(sibling)->kind == window_kind::dialog && IsWindowVisible(sibling))
            pages.push_back(sibling);
    }
    if (pages.size() > 1)
        fault("more than one tab page is shown");
    HWND page = pages.empty() ? nullptr : pages.front();
    if (!page) {
        fault("no tab page is shown");
        return 0;
    }
    RECT page_rect = screen_rect(page);
    if (!inside(page_rect, area))
        fault("the tab page lies outside the tab control's display area");

    std::vector<HWND> controls = windows.state(page)->children;
    std::vector<RECT> boxes;
    for (HWND control : controls) {
        window_state state = *windows.state(control);
        boxes.push_back(screen_rect(control));
        if (!IsWindowVisible(control) || boxes.back().right <= boxes.back().left ||
            boxes.back().bottom <= boxes.back().top)
            fault(name(control) + " is not visible");
        if (!inside(boxes.back(), area) || !inside(boxes.back(), page_rect))
            fault(name(control) + " lies outside its tab");
        std::string overflow = text_overflow(control, state);
        if (!overflow.empty())
            fault(name(control) + ": its text does not fit: " + overflow);
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            if (!overlap(boxes[i], boxes[j]))
                continue;
            bool group_i = windows.state(controls[i])->kind == window_kind::group_box;
            bool group_j = windows.state(controls[j])->kind == window_kind::group_box;
            if ((group_i && inside(boxes[j], boxes[i])) || (group_j && inside(boxes[i], boxes[j])))
                continue;
            fault(name(controls[i]) + " overlaps " + name(controls[j]));
        }
    }
    return int(controls.size());
}

int run() {
    fs::path profile =
        fs::temp_directory_path() / ("dialog_layout_test-" + std::to_string(GetCurrentProcessId()));
    std::vector<std::string> faults;
    {
        host_options options;
        options.profile_directory = profile.u8string();
        options.answer = false;
        options.ask_on_terminal = false;
        host_session session(options);
        session.load_components();
        session.start();
        auto pages = preferences_dialog::pages(session.registry());
        if (pages.empty()) {
            std::printf("FAIL: no preferences page is registered\n");
            return 1;
        }
        user_windows& windows = session.dialog_windows();
        preferences_dialog dialog(windows, session.get_main_window());
        dialog.open(pages.front());
        auto names = dialog.tab_names();
        if (names.empty())
            faults.push_back("the page has no tabs");
        for (int i = 0; i < int(names.size()); ++i) {
            dialog.select_tab(i);
            int checked = check_tab(windows, dialog.tab_control(), names[size_t(i)], faults);
            std::printf("tab %d \"%s\": %d controls\n", i, names[size_t(i)].c_str(), checked);
            if (checked == 0)
                faults.push_back(names[size_t(i)] + ": no controls");
        }
        dialog.close();
        session.stop();
    }
    std::error_code ignored;
    fs::remove_all(profile, ignored);
    for (const auto& fault : faults)
        std::printf("fault: %s\n", fault.c_str());
    return faults.empty() ? 0 : 1;
}

}  // namespace

int main() {
    try {
        return run();
    } catch (const std::exception& e) {
        std::printf("FAIL: %s\n", e.what());
        return 1;
    }
}
