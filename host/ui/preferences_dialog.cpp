#include "host/ui/preferences_dialog.h"

#include <cctype>
#include <charconv>

#include "host/ui/html_renderer.h"
#include "host/ui/window_text.h"

namespace {

// Where the dialog shows the page: a margin inside its own window.
constexpr int page_margin = 8;

std::string lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

preferences_dialog::preferences_dialog(user_windows& windows, HWND owner)
    : m_windows(windows), m_owner(owner) {}

preferences_dialog::~preferences_dialog() {
    close();
}

std::vector<service_ptr_t<preferences_page>> preferences_dialog::pages(
    const service_registry& registry) {
    return registry.all<preferences_page>();
}

void preferences_dialog::open(const service_ptr_t<preferences_page>& page) {
    close();
    const char* name = page->page_name();
    m_page_name = name ? name : "";
    m_dialog = m_windows.create_frame(m_owner, "Preferences", RECT{0, 0, 0, 0});
    m_page_window = page->create_page(m_dialog);
    std::optional<window_state> created = m_windows.state(m_page_window);
    if (!created) {
        close();
        throw std::runtime_error("the preferences page \"" + m_page_name +
                                 "\" could not be created");
    }
    int width = created->width();
    int height = created->height();
    m_windows.set_window_pos(m_dialog, nullptr, 0, 0, width + 2 * page_margin,
                             height + 2 * page_margin, SWP_NOZORDER);
    m_windows.set_window_pos(m_page_window, nullptr, page_margin, page_margin, width, height,
                             SWP_NOZORDER | SWP_SHOWWINDOW);
}

void preferences_dialog::close() {
    if (m_page_window) {
        HWND page = m_page_window;
        m_page_window = nullptr;
        m_windows.destroy_window(page);
    }
    if (m_dialog) {
        HWND dialog = m_dialog;
        m_dialog = nullptr;
        m_windows.destroy_window(dialog);
    }
}

HWND preferences_dialog::tab_control() const {
    std::vector<HWND> pending{m_page_window};
    while (!pending.empty()) {
        HWND current = pending.front();
        pending.erase(pending.begin());
        std::optional<window_state> window = m_windows.state(current);
        if (!window)
            continue;
        if (window->kind == window_kind::tab_control)
            return current;
        pending.insert(pending.end(), window->children.begin(), window->children.end());
    }
    return nullptr;
}

std::vector<std::string> preferences_dialog::tab_names() const {
    std::optional<window_state> tabs = m_windows.state(tab_control());
    return tabs ? tabs->items : std::vector<std::string>{};
}

int preferences_dialog::selected_tab() const {
    std::optional<window_state> tabs = m_windows.state(tab_control());
    return tabs ? tabs->selection : -1;
}

int preferences_dialog::find_tab(const std::string& word) const {
    auto names = tab_names();
    if (names.empty())
        throw user_action_error("the page \"" + m_page_name + "\" has no tabs");
    int number = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    if (error == std::errc() && end == word.data() + word.size()) {
        if (number < 0 || number >= int(names.size())) {
            throw user_action_error("there is no tab " + word + "; the tabs are 0 to " +
                                    std::to_string(names.size() - 1));
        }
        return number;
    }
    int found = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!word.empty() && lower(names[i]).find(lower(word)) != std::string::npos) {
            if (found >= 0)
                throw user_action_error("\"" + word + "\" names more than one tab");
            found = int(i);
        }
    }
    if (found < 0) {
        std::string list;
        for (size_t i = 0; i < names.size(); ++i)
            list += (i ? ", " : "") + std::to_string(i) + " \"" + names[i] + "\"";
        throw user_action_error("no tab is called \"" + word + "\"; the tabs are " + list);
    }
    return found;
}

void preferences_dialog::select_tab(int index) {
    HWND tabs = tab_control();
    if (!tabs)
        throw user_action_error("the page \"" + m_page_name + "\" has no tabs");
    m_windows.select_tab(tabs, index);
}

HWND preferences_dialog::reveal_control(int id) {
    auto found = m_windows.find_controls(m_page_window, id);
    if (found.empty())
        throw user_action_error("the page \"" + m_page_name + "\" has no control " +
                                std::to_string(id));
    if (found.size() > 1)
        throw user_action_error("the page \"" + m_page_name + "\" has several controls " +
                                std::to_string(id));
    HWND control = found.front();
    if (m_windows.is_window_visible(control))
        return control;
    HWND tabs = tab_control();
    int count = int(tab_names().size());
    for (int i = 0; tabs && i < count && !m_windows.is_window_visible(control); ++i) {
        if (i != selected_tab())
            select_tab(i);
    }
    return control;
}

template <class F>
void preferences_dialog::for_each_tab(const std::vector<int>& tabs, F look) {
    int original = selected_tab();
    for (int tab : tabs) {
        select_tab(tab);
        look(tab);
    }
    if (original >= 0 && selected_tab() != original)
        select_tab(original);
}

std::string preferences_dialog::describe(std::optional<int> tab) {
    std::string out = "page \"" + m_page_name + "\"\n";
    auto names = tab_names();
    if (names.empty()) {
        return out + describe_window_tree(m_windows, m_page_window, 2);
    }
    std::vector<int> tabs;
    if (tab) {
        tabs.push_back(*tab);
    } else {
        for (int i = 0; i < int(names.size()); ++i)
            tabs.push_back(i);
    }
    for_each_tab(tabs, [&](int index) {
        out += "tab " + std::to_string(index) + " \"" + names[size_t(index)] + "\"\n";
        out += describe_window_tree(m_windows, m_page_window, 2);
    });
    return out;
}

std::string preferences_dialog::render_html() {
    html_renderer renderer("Preferences: " + m_page_name);
    auto names = tab_names();
    if (names.empty()) {
        renderer.add_view(m_windows, m_page_window, m_page_name);
        return renderer.document();
    }
    std::vector<int> tabs;
    for (int i = 0; i < int(names.size()); ++i)
        tabs.push_back(i);
    for_each_tab(tabs, [&](int index) {
        renderer.add_view(m_windows, m_page_window, m_page_name + ": " + names[size_t(index)]);
    });
    return renderer.document();
}
