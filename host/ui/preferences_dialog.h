// The host's preferences dialog: it finds the registered preferences pages, opens
// one in a dialog window of the host (headless, or the system's own), and shows
// and drives the page as a user would, switching to the tab that holds a control
// before using it. Closing the dialog destroys the page, so the page sees its
// WM_DESTROY.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/core/service_registry.h"
#include "host/ui/user_windows.h"
#include "sdk/preferences_page.h"

class preferences_dialog {
public:
    preferences_dialog(user_windows& windows, HWND owner);
    ~preferences_dialog();
    preferences_dialog(const preferences_dialog&) = delete;
    preferences_dialog& operator=(const preferences_dialog&) = delete;

    // Every registered page, in registry order.
    static std::vector<service_ptr_t<preferences_page>> pages(const service_registry& registry);

    // Creates the page in the dialog, places it and shows it; raises when the page
    // makes no window.
    void open(const service_ptr_t<preferences_page>& page);
    // Destroys the page and the dialog. Safe to call twice.
    void close();

    HWND page_window() const { return m_page_window; }
    const std::string& page_name() const { return m_page_name; }

    // The page's tab control (its first), or null when it has none.
    HWND tab_control() const;
    std::vector<std::string> tab_names() const;
    int selected_tab() const;
    // The tab named by `word`: its number, or a word found (letter case aside) in
    // exactly one tab's name. Raises user_action_error otherwise.
    int find_tab(const std::string& word) const;
    // Clicks tab `index`.
    void select_tab(int index);
    // The page's control with `id`, its tab selected first when that tab is not the
    // one shown. Raises user_action_error when the page has no such control or
    // several.
    HWND reveal_control(int id);

    // The page as text: each tab in turn (or only `tab`), every visible control
    // with its id, kind, text and state. The selected tab is restored afterwards.
    std::string describe(std::optional<int> tab = std::nullopt);
    // The page as a standalone HTML file: one picture per tab.
    std::string render_html();

private:
    // Runs `look` with each tab of `tabs` selected in turn, then restores the tab
    // that was selected.
    template <class F>
    void for_each_tab(const std::vector<int>& tabs, F look);

    user_windows& m_windows;
    HWND m_owner;
    HWND m_dialog = nullptr;
    HWND m_page_window = nullptr;
    std::string m_page_name;
};
