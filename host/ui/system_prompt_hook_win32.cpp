// The system's message boxes and file dialogs, answered by the host: a CBT hook
// on the session's thread sees each dialog as it becomes active; once the
// dialog has finished setting itself up (a timer of the thread fires from the
// dialog's own message loop), its caption, text, buttons and icon are read, printed
// by the host's prompts as on any other system, and the dialog is ended with
// the answer as if that button had been pressed.
//
// A CBT hook set without a module of its own sees one thread only, and a
// component may report an error from any thread. So a thread of the host
// watches the process's windows being made; a dialog of another thread is
// answered the same way once it shows, which it does when it has set itself up.
#include <windows.h>
// After windows.h, which brings the types it builds on.
#include <commdlg.h>

#include <algorithm>
#include <future>
#include <string>
#include <thread>
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

// The message box style of the icon the box shows. The box keeps no record of
// the style it was made with (its window style is a dialog's), but its icon is
// one of the system's shared icons, shown by a static control of the box.
UINT style_of_icon(HWND box) {
    struct known_icon {
        LPCTSTR name;  // IDI_* is in the charset of LoadIcon
        UINT style;
    };
    static const known_icon icons[] = {
        {IDI_HAND, MB_ICONHAND},
        {IDI_QUESTION, MB_ICONQUESTION},
        {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
        {IDI_ASTERISK, MB_ICONASTERISK},
    };
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16];
        if (!GetClassNameW(child, name, 16) || lstrcmpiW(name, L"Static") != 0 ||
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            continue;
        auto shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        for (const known_icon& icon : icons) {
            if (shown && shown == LoadIcon(nullptr, icon.name))
                return icon.style;
        }
    }
    return 0;
}

void press(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void answer_message_box(HWND box) {
    const std::string text = window_text(GetDlgItem(box, message_text_id));
    press(box, state.prompts->message_box(text.c_str(), window_text(box).c_str(),
                                          style_of_buttons(box) | style_of_icon(box)));
}

// The patterns of line `line` of the file types: the dialog keeps them beside the
// type's name, as the line's item data (its own copy of the pattern string). The
// data is read as text only where it points into readable memory of this
// process; elsewhere the type is told by its name alone.
std::string type_patterns(HWND types, LRESULT line) {
    const LRESULT data = SendMessageW(types, CB_GETITEMDATA, WPARAM(line), 0);
    if (data == CB_ERR || data == 0)
        return {};
    const auto* text = reinterpret_cast<const wchar_t*>(data);
    MEMORY_BASIC_INFORMATION region{};
    constexpr DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY;
    if (!VirtualQuery(text, &region, sizeof region) || region.State != MEM_COMMIT ||
        !(region.Protect & readable) || (region.Protect & PAGE_GUARD))
        return {};
    const auto* end = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    const size_t room = size_t(end - reinterpret_cast<const char*>(text)) / sizeof(wchar_t);
    const size_t length = wcsnlen(text, room);
    if (length == room)
        return {};
    return wide_to_utf8(std::wstring_view(text, length));
}

// The file name the dialog starts from: the name it shows, in the folder it
// shows; a name that names its own folder stands as it is.
std::string initial_path(HWND dialog, const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos)
        return name;
    const LRESULT length = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
    if (length <= 1)
        return name;
    std::wstring folder(size_t(length), L'\0');
    SendMessageW(dialog, CDM_GETFOLDERPATH, WPARAM(length),
                 reinterpret_cast<LPARAM>(folder.data()));
    folder.resize(wcsnlen(folder.c_str(), folder.size()));
    std::string path = wide_to_utf8(folder);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path + name;
}

void answer_file_dialog(HWND dialog) {
    // The file types as the dialog lists them: "name|patterns" each, "|" between
    // them, as the caller gave them.
    HWND types = GetDlgItem(dialog, file_types_id);
    std::string filter;
    const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(types, CB_GETLBTEXTLEN, WPARAM(i), 0);
        std::wstring name(size_t(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(types, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(name.data()));
        name.resize(size_t(std::max<LRESULT>(length, 0)));
        filter += (filter.empty() ? "" : "|") + wide_to_utf8(name);
        const std::string patterns = type_patterns(types, i);
        if (!patterns.empty())
            filter += "|" + patterns;
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
    string8 path(initial_path(dialog, window_text(name)));
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

// How often the watching thread looks whether another thread's dialog shows.
constexpr UINT settle_check_ms = 10;

// The watching thread's: the thread whose dialogs the CBT hook answers, and the
// timer that runs while dialogs of other threads wait to show.
thread_local DWORD session_thread = 0;
thread_local UINT_PTR settle_timer = 0;

void CALLBACK on_other_dialog_settled(HWND, UINT, UINT_PTR, DWORD) {
    auto& waiting = state.waiting;
    std::vector<HWND> shown;
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                 [&](HWND dialog) {
                                     if (!IsWindow(dialog))
                                         return true;
                                     if (!IsWindowVisible(dialog))
                                         return false;
                                     shown.push_back(dialog);
                                     return true;
                                 }),
                  waiting.end());
    if (waiting.empty()) {
        KillTimer(nullptr, settle_timer);
        settle_timer = 0;
    }
    // Each answer waits for the dialog's thread to give its texts.
    for (HWND dialog : shown) {
        if (is_message_box(dialog))
            answer_message_box(dialog);
        else if (is_file_dialog(dialog))
            answer_file_dialog(dialog);
    }
}

void CALLBACK on_window_made(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD thread,
                             DWORD) {
    if (object != OBJID_WINDOW || thread == session_thread || !is_dialog(window))
        return;
    state.waiting.push_back(window);
    if (!settle_timer)
        settle_timer = SetTimer(nullptr, 0, settle_check_ms, on_other_dialog_settled);
}

// The watching thread: answers the dialogs of every thread but `session` until
// it is told to quit.
void watch_other_threads(user_prompts* prompts, DWORD session, std::promise<DWORD>* ready) {
    state.prompts = prompts;
    session_thread = session;
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, on_window_made,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNTHREAD);
    // The thread's message queue exists from the first look at it on, so the
    // request to quit cannot come too early.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    ready->set_value(GetCurrentThreadId());
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    if (hook)
        UnhookWinEvent(hook);
}

}  // namespace

struct system_prompt_hook::platform_state {
    HHOOK hook = nullptr;
    std::thread watcher;
    DWORD watcher_id = 0;
};

system_prompt_hook::system_prompt_hook(user_prompts& prompts)
    : m_state(std::make_unique<platform_state>()) {
    state.prompts = &prompts;
    state.hook = SetWindowsHookExW(WH_CBT, on_window_event, nullptr, GetCurrentThreadId());
    m_state->hook = state.hook;
    std::promise<DWORD> ready;
    m_state->watcher = std::thread(watch_other_threads, &prompts, GetCurrentThreadId(), &ready);
    m_state->watcher_id = ready.get_future().get();
}

system_prompt_hook::~system_prompt_hook() {
    PostThreadMessageW(m_state->watcher_id, WM_QUIT, 0, 0);
    m_state->watcher.join();
    if (m_state->hook)
        UnhookWindowsHookEx(m_state->hook);
    state = hook_state{};
}
