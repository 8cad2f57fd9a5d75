// The stand-in host's window system: every window and control lives here as state,
// nothing is drawn. Components reach it through the window layer of sdk/window.h;
// the host and tests reach it directly, to look at windows and to act on them as a
// user would (click, tick, select, type, switch tabs), which delivers the
// notifications that user's action would.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/ui/headless_window.h"
#include "host/ui/user_prompts.h"
#include "sdk/window_system.h"

// A user's action that the control cannot take (disabled, hidden, wrong kind, index
// out of range); the message says why.
class user_action_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class headless_windows : public window_system {
public:
    explicit headless_windows(std::unique_ptr<user_prompts> prompts);
    ~headless_windows();

    // window_system
    HWND create_dialog(const dialog_template& tpl, HWND parent, DLGPROC proc,
                       LPARAM param) override;
    bool destroy_window(HWND window) override;
    bool is_window(HWND window) override;
    HWND get_dlg_item(HWND dialog, int id) override;
    int get_dlg_ctrl_id(HWND window) override;
    HWND get_parent(HWND window) override;
    LRESULT send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
    bool enable_window(HWND window, bool enable) override;
    bool is_window_enabled(HWND window) override;
    bool show_window(HWND window, int command) override;
    bool is_window_visible(HWND window) override;
    bool set_window_pos(HWND window, HWND insert_after, int x, int y, int cx, int cy,
                        UINT flags) override;
    bool get_window_rect(HWND window, RECT* rect) override;
    bool get_client_rect(HWND window, RECT* rect) override;
    int message_box(HWND owner, const char* text, const char* caption, UINT style) override;
    bool get_file_name(HWND owner, const file_dialog_request& request, string_base& path) override;

    // A window of the host itself (main window, preferences dialog): no procedure,
    // shown at once.
    HWND create_frame(HWND parent, std::string caption, RECT rect);

    // The window's state, or null for a window that does not exist. The pointer is
    // valid until the next call that may run a dialog procedure.
    const headless_window* find(HWND window) const;
    // The descendant of `root` (depth first, in creation order) with control id `id`.
    HWND find_control(HWND root, int id) const;
    // Every descendant of `root` with control id `id`.
    std::vector<HWND> find_controls(HWND root, int id) const;
    size_t window_count() const { return m_windows.size(); }

    // A user's actions. Each needs the control to exist, be visible and enabled,
    // and raises user_action_error otherwise.
    // Push button: BN_CLICKED. Check box: toggles its mark, then BN_CLICKED.
    void click(HWND control);
    // Clicks a check box when its mark differs from `on`.
    void set_check(HWND control, bool on);
    // Combo box: selects line `index` (CBN_SELCHANGE). List box: selects line
    // `index` (LBN_SELCHANGE), or with -1 cancels the selection (LBN_SELCANCEL).
    // Tab control: as select_tab.
    void select(HWND control, int index);
    // Selects every text of an edit and types `text` over it, one character at a
    // time, each sending EN_CHANGE; an empty `text` deletes the selection. An
    // upper-casing edit upper-cases what is typed; a single-line edit keeps the
    // first line.
    void type_text(HWND control, std::string_view text);
    // Clicks tab `index`: TCN_SELCHANGING, the selection moves, TCN_SELCHANGE.
    // Clicking the selected tab does nothing.
    void select_tab(HWND tab_control, int index);

    user_prompts& prompts() { return *m_prompts; }

private:
    headless_window* lookup(HWND window);
    HWND add_window(std::unique_ptr<headless_window> window);
    // Runs the dialog procedure, or the default handling for other windows.
    LRESULT dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void notify_command(HWND control, WORD code);
    void notify(HWND control, UINT code);
    headless_window& usable_control(HWND control, const char* action);
    std::string describe(const headless_window& window) const;

    std::unordered_map<HWND, std::unique_ptr<headless_window>> m_windows;
    uintptr_t m_next_handle = 0x10000;
    std::unique_ptr<user_prompts> m_prompts;
};
