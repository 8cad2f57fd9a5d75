// The stand-in host's window system: every window and control lives here as state,
// nothing is drawn. Components reach it through the window layer of sdk/window.h;
// the host reaches it as its user_windows, and tests also directly, to look at
// windows and to act on them as a user would (click, tick, select, type, switch
// tabs), which delivers the notifications that user's action would.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/ui/user_prompts.h"
#include "host/ui/user_windows.h"
#include "host/ui/window_state.h"
#include "sdk/window_system.h"

class headless_windows : public window_system, public user_windows {
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

    // user_windows; a frame has no procedure and no border.
    HWND create_frame(HWND parent, std::string caption, RECT rect) override;
    std::optional<window_state> state(HWND window) const override;
    std::vector<HWND> find_controls(HWND root, int id) const override;
    void click(HWND control) override;
    void set_check(HWND control, bool on) override;
    void select(HWND control, int index) override;
    // Types one character at a time, each sending EN_CHANGE.
    void type_text(HWND control, std::string_view text) override;
    void select_tab(HWND tab_control, int index) override;

    // The window's state, or null for a window that does not exist. The pointer is
    // valid until the next call that may run a dialog procedure.
    const window_state* find(HWND window) const;

    user_prompts& prompts() { return *m_prompts; }

private:
    window_state* lookup(HWND window);
    HWND add_window(std::unique_ptr<window_state> window);
    // Runs the dialog procedure, or the default handling for other windows.
    LRESULT dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void notify_command(HWND control, WORD code);
    void notify(HWND control, UINT code);
    window_state& usable_control(HWND control, const char* action);

    std::unordered_map<HWND, std::unique_ptr<window_state>> m_windows;
    uintptr_t m_next_handle = 0x10000;
    std::unique_ptr<user_prompts> m_prompts;
};
