// The system's message boxes and file dialogs, answered by the host: a CBT hook
// on the session's thread sees each dialog as it becomes active; once the
// dialog has finished setting itself up (a timer of the thread fires from the
// dialog's own message loop), its caption, text and buttons are read, printed
// by the host's prompts as on any other system, and the dialog is ended with
// the answer as if that button had been pressed.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/ui/system_prompt_hook.h"
#include "sdk/utf16_win32.h"

namespace {

// Control ids of the system's dialogs.
constexpr int message_text_id = 0xFFFF;    // the text of a message box
constexpr int file_types_id = 0x470;       // "Files of type" (cmb1)
constexpr int file_name_combo_id = 0x47C;  // "File name" (cmb13)
constexpr int file_name_edit_id = 0x480;   // "File name" in the older layout (edt1)

struct hook_state {
    HHOOK hook = nullptr;
    user_prompts* prompts = nullptr;
    std::vector<HWND> waiting;   // activated, not yet answered
    std::vector<HWND> answered;  // answered, still open
};

// The hook serves the thread it was set on, so its state is the thread's.
thread_local hook_state state;

std::string window_text(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), length + 1)));
    return wide_to_utf8(text);
}

bool is_dialog(HWND window) {
    wchar_t name[16];
    return GetClassNameW(window, name, 16) && std::wstring_view(name) == L"#32770";
}

// A message box: its text, and at least one of the buttons a box can have.
bool is_message_box(HWND dialog) {
    if (!GetDlgItem(dialog, message_text_id))
        return false;
    for (int button : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        if (GetDlgItem(dialog, button))
            return true;
    }
    return false;
}

// A file dialog: a file name to type and a button to take it.
bool is_file_dialog(HWND dialog) {
    return GetDlgItem(dialog, IDOK) &&
           (GetDlgItem(dialog, file_name_combo_id) || GetDlgItem(dialog, file_name_edit_id));
}

// The message box style whose buttons the box shows.
UINT style_of_buttons(HWND box) {
    auto has = [&](int id) { return GetDlgItem(box, id) != nullptr; };
    if (has(IDABORT))
        return MB_ABORTRETRYIGNORE;
    if (has(IDYES))
        return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
    if (has(IDRETRY))
        return MB_RETRYCANCEL;
    return has(IDCANCEL) ? MB_OKCANCEL : MB_OK;
}

void press(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void answer_message_box(HWND box) {
    const std::string text = window_text(GetDlgItem(box, message_text_id));
    press(box, state.prompts->message_box(text.c_str(), window_text(box).c_str(),
                                          style_of_buttons(box)));
}

void answer_file_dialog(HWND dialog) {
    // The file types as the dialog lists them, "|" between them.
    HWND types = GetDlgItem(dialog, file_types_id);
    std::string filter;
    const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(types, CB_GETLBTEXTLEN, WPARAM(i), 0);
        std::wstring name(size_t(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(types, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(name.data()));
        name.resize(size_t(std::max<LRESULT>(length, 0)));
        filter += (filter.empty() ? "" : "|") + wide_to_utf8(name);
    }
    const std::string caption = window_text(dialog);
    std::string ok = window_text(GetDlgItem(dialog, IDOK));
    ok.erase(std::remove(ok.begin(), ok.end(), '&'), ok.end());
    // The dialog itself adds the default extension to a name without one.
    const file_dialog_request request{caption.c_str(), filter.c_str(), 1,
                                      nullptr,         nullptr,        ok == "Save"};
    HWND name = GetDlgItem(dialog, file_name_combo_id);
    if (!name)
        name = GetDlgItem(dialog, file_name_edit_id);
    string8 path(window_text(name));
    if (!state.prompts->file_dialog(request, path)) {
        press(dialog, IDCANCEL);
        return;
    }
    SetWindowTextW(name, utf8_to_wide(path.get_ptr()).c_str());
    press(dialog, IDOK);
}

void CALLBACK on_settled(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    std::vector<HWND> waiting;
    waiting.swap(state.waiting);
    for (HWND dialog : waiting) {
        if (!IsWindow(dialog))
            continue;
        state.answered.push_back(dialog);
        if (is_message_box(dialog))
            answer_message_box(dialog);
        else
            answer_file_dialog(dialog);
    }
}

LRESULT CALLBACK on_window_event(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wparam);
        auto& answered = state.answered;
        answered.erase(std::remove_if(answered.begin(), answered.end(),
                                      [](HWND open) { return !IsWindow(open); }),
                       answered.end());
        if (std::find(answered.begin(), answered.end(), window) != answered.end()) {
            // Active again after its answer: the dialog refused the answer (a
            // file that must exist and does not, say) and said why in a box of
            // its own. Asking again would ask forever; cancel it.
            if (is_file_dialog(window))
                press(window, IDCANCEL);
        } else if (is_dialog(window) && (is_message_box(window) || is_file_dialog(window)) &&
                   std::find(state.waiting.begin(), state.waiting.end(), window) ==
                       state.waiting.end()) {
            state.waiting.push_back(window);
            SetTimer(nullptr, 0, 0, on_settled);
        }
    }
    return CallNextHookEx(state.hook, code, wparam, lparam);
}

}  // namespace

system_prompt_hook::system_prompt_hook(user_prompts& prompts) {
    state.prompts = &prompts;
    state.hook = SetWindowsHookExW(WH_CBT, on_window_event, nullptr, GetCurrentThreadId());
    m_hook = state.hook;
}

system_prompt_hook::~system_prompt_hook() {
    if (m_hook)
        UnhookWindowsHookEx(static_cast<HHOOK>(m_hook));
    state = hook_state{};
}
