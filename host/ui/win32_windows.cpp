// The host's dialogs as real windows of the system: a frame is a top-level
// window of the host's own class, the pages in it are the components' real
// dialogs, and a user's actions are the messages the system's controls answer
// and the notifications a user's click or keystroke makes them send. What a
// window shows is read back from the controls themselves.
#include "host/ui/system_windows.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "sdk/utf16_win32.h"

namespace {

constexpr const wchar_t* frame_class = L"SonarithHostFrame";

std::string text_of(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring buffer(size_t(length) + 1, L'\0');
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return wide_to_utf8(std::wstring_view(buffer.data(), size_t(std::max(copied, 0))));
}

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    int length = GetClassNameW(window, name, int(std::size(name)));
    return std::wstring(name, size_t(std::max(length, 0)));
}

// The lines of a combo or list box: `count`, `length` and `text` are its
// messages for the number of lines, a line's length and a line's text.
std::vector<std::string> lines_of(HWND window, UINT count, UINT length, UINT text) {
    std::vector<std::string> lines;
    LRESULT total = SendMessageW(window, count, 0, 0);
    for (LRESULT i = 0; i < total; ++i) {
        LRESULT size = SendMessageW(window, length, WPARAM(i), 0);
        std::wstring line(size_t(std::max<LRESULT>(size, 0)) + 1, L'\0');
        LRESULT copied =
            SendMessageW(window, text, WPARAM(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(size_t(std::max<LRESULT>(copied, 0)));
        lines.push_back(wide_to_utf8(line));
    }
    return lines;
}

std::vector<std::string> tab_texts(HWND tabs) {
    std::vector<std::string> texts;
    int count = int(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = int(std::size(text));
        SendMessageW(tabs, TCM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        texts.push_back(wide_to_utf8(item.pszText));
    }
    return texts;
}

// The face and point size of the font a dialog draws its text in.
void read_font(HWND window, window_state& state) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    LOGFONTW description{};
    if (!font || !GetObjectW(font, sizeof description, &description))
        return;
    state.font = wide_to_utf8(description.lfFaceName);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    state.font_size = MulDiv(std::abs(int(description.lfHeight)), 72, dpi > 0 ? dpi : 96);
}

// Which window was made before which: the order of siblings in the system's
// z-order is not their creation order (a new window goes on top), while the tab
// order of a dialog is. A hook on the host's thread numbers each window as it is
// made; the latest order made is the one that counts.
class creation_order {
public:
    creation_order() {
        current() = this;
        m_hook = SetWindowsHookExW(WH_CBT, hook, nullptr, GetCurrentThreadId());
    }
    ~creation_order() {
        if (m_hook)
            UnhookWindowsHookEx(m_hook);
        if (current() == this)
            current() = nullptr;
    }
    creation_order(const creation_order&) = delete;
    creation_order& operator=(const creation_order&) = delete;

    // Windows made before the hook come first, in the order given.
    void sort(std::vector<HWND>& windows) const {
        auto serial = [&](HWND window) {
            auto found = m_serials.find(window);
            return found == m_serials.end() ? 0 : found->second;
        };
        std::stable_sort(windows.begin(), windows.end(),
                         [&](HWND a, HWND b) { return serial(a) < serial(b); });
    }

private:
    static creation_order*& current() {
        static creation_order* order = nullptr;
        return order;
    }
    static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam) {
        creation_order* order = current();
        if (order && code == HCBT_CREATEWND)
            order->m_serials[reinterpret_cast<HWND>(wparam)] = ++order->m_next;
        else if (order && code == HCBT_DESTROYWND)
            order->m_serials.erase(reinterpret_cast<HWND>(wparam));
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    HHOOK m_hook = nullptr;
    std::map<HWND, unsigned long> m_serials;
    unsigned long m_next = 0;
};

class win32_windows final : public user_windows {
public:
    win32_windows() {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
        InitCommonControlsEx(&classes);
        WNDCLASSEXW frame{};
        frame.cbSize = sizeof frame;
        frame.lpfnWndProc = DefWindowProcW;
        frame.hInstance = GetModuleHandleW(nullptr);
        frame.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frame.lpszClassName = frame_class;
        RegisterClassExW(&frame);
    }
    ~win32_windows() override {
        for (HWND frame : m_frames) {
            if (IsWindow(frame))
                DestroyWindow(frame);
        }
    }

    HWND create_frame(HWND parent, std::string caption, RECT rect) override {
        RECT outer = outer_rect(rect);
        HWND frame =
            CreateWindowExW(0, frame_class, utf8_to_wide(caption).c_str(), frame_style, outer.left,
                            outer.top, outer.right - outer.left, outer.bottom - outer.top, parent,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!frame) {
            DWORD error = GetLastError();
            throw std::runtime_error(
                "cannot open the window \"" + caption + "\" (" +
                (error ? "system error " + std::to_string(error) : std::string("no display")) +
                ")");
        }
        m_frames.push_back(frame);
        ShowWindow(frame, SW_SHOWNORMAL);
        settle();
        return frame;
    }

    bool destroy_window(HWND window) override {
        m_frames.erase(std::remove(m_frames.begin(), m_frames.end(), window), m_frames.end());
        return DestroyWindow(window) != FALSE;
    }

    bool is_window(HWND window) override { return IsWindow(window) != FALSE; }

    bool is_window_visible(HWND window) override { return IsWindowVisible(window) != FALSE; }

    bool set_window_pos(HWND window, HWND insert_after, int x, int y, int cx, int cy,
                        UINT flags) override {
        if (is_frame(window)) {
            RECT outer = outer_rect(RECT{x, y, x + cx, y + cy});
            x = outer.left;
            y = outer.top;
            cx = outer.right - outer.left;
            cy = outer.bottom - outer.top;
        }
        bool placed = SetWindowPos(window, insert_after, x, y, cx, cy, flags) != FALSE;
        settle();
        return placed;
    }

    std::optional<window_state> state(HWND window) const override {
        if (!window || !IsWindow(window))
            return std::nullopt;
        window_state state;
        state.handle = window;
        HWND parent = GetAncestor(window, GA_PARENT);
        state.parent = parent == GetDesktopWindow() ? nullptr : parent;
        state.style = DWORD(GetWindowLongW(window, GWL_STYLE));
        state.text = text_of(window);
        state.enabled = !(state.style & WS_DISABLED);
        state.visible = (state.style & WS_VISIBLE) != 0;
        GetWindowRect(window, &state.rect);
        if (state.parent) {
            MapWindowPoints(HWND_DESKTOP, state.parent, reinterpret_cast<POINT*>(&state.rect), 2);
            state.id = GetDlgCtrlID(window);
        }
        std::wstring cls = class_of(window);
        state.kind = kind_of(cls, state.style);
        switch (state.kind) {
            case window_kind::dialog:
                read_font(window, state);
                break;
            case window_kind::check_box:
                state.check = WPARAM(SendMessageW(window, BM_GETCHECK, 0, 0));
                break;
            case window_kind::combo_box:
                // A drop-down list shows its selected line as its window text: the
                // lines tell that already, and the list has no text of its own.
                if ((state.style & (CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST)) ==
                    CBS_DROPDOWNLIST)
                    state.text.clear();
                state.items = lines_of(window, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
                state.selection = int(SendMessageW(window, CB_GETCURSEL, 0, 0));
                break;
            case window_kind::list_box:
                state.items = lines_of(window, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
                state.selection = int(SendMessageW(window, LB_GETCURSEL, 0, 0));
                break;
            case window_kind::tab_control:
                state.items = tab_texts(window);
                state.selection = int(SendMessageW(window, TCM_GETCURSEL, 0, 0));
                break;
            default:
                break;
        }
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            state.children.push_back(child);
        }
        m_order.sort(state.children);
        return state;
    }

    std::vector<HWND> find_controls(HWND root, int id) const override {
        std::vector<HWND> found;
        std::optional<window_state> parent = state(root);
        if (!parent)
            return found;
        for (HWND child : parent->children) {
            if (GetDlgCtrlID(child) == id && class_of(child) != dialog_class)
                found.push_back(child);
            auto deeper = find_controls(child, id);
            found.insert(found.end(), deeper.begin(), deeper.end());
        }
        return found;
    }

    void click(HWND control) override {
        window_state target = usable_control(*this, control, "click");
        if (target.kind != window_kind::check_box && target.kind != window_kind::push_button) {
            throw user_action_error("cannot click " + control_name(target) +
                                    ": only buttons and check boxes are clicked");
        }
        // The button presses and releases itself: an automatic check box moves its
        // mark, and the button tells its parent BN_CLICKED.
        SendMessageW(control, BM_CLICK, 0, 0);
        settle();
    }

    void set_check(HWND control, bool on) override {
        window_state target = usable_control(*this, control, "tick");
        if (target.kind != window_kind::check_box)
            throw user_action_error("cannot tick " + control_name(target) +
                                    ": it is not a check box");
        if ((target.check == BST_CHECKED) == on)
            return;
        if ((target.style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
            SendMessageW(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        notify_command(control, BN_CLICKED);
        settle();
    }

    void select(HWND control, int index) override {
        window_state target = usable_control(*this, control, "select in");
        int count = int(target.items.size());
        auto out_of_range = [&] {
            return user_action_error("cannot select line " + std::to_string(index) + " of " +
                                     control_name(target) + ": it has " + std::to_string(count) +
                                     (count == 1 ? " line" : " lines"));
        };
        switch (target.kind) {
            case window_kind::combo_box:
                if (index < 0 || index >= count)
                    throw out_of_range();
                SendMessageW(control, CB_SETCURSEL, WPARAM(index), 0);
                notify_command(control, CBN_SELCHANGE);
                break;
            case window_kind::list_box:
                if (index < -1 || index >= count)
                    throw out_of_range();
                SendMessageW(control, LB_SETCURSEL, WPARAM(index), 0);
                if (target.has_style(LBS_NOTIFY))
                    notify_command(control, index < 0 ? LBN_SELCANCEL : LBN_SELCHANGE);
                break;
            case window_kind::tab_control:
                select_tab(control, index);
                return;
            default:
                throw user_action_error("cannot select in " + control_name(target) +
                                        ": it has no lines to choose from");
        }
        settle();
    }

    void type_text(HWND control, std::string_view text) override {
        window_state target = usable_control(*this, control, "type into");
        if (target.kind != window_kind::edit)
            throw user_action_error("cannot type into " + control_name(target) +
                                    ": it is not an edit");
        std::string typed = target.is_multiline_edit() ? std::string(text) : first_line(text);
        if (typed.empty() && target.text.empty())
            return;
        // As a user types: the whole text selected, then each character typed over
        // the selection. The edit itself upper-cases where it is made to, and tells
        // its parent of every change.
        SendMessageW(control, EM_SETSEL, 0, -1);
        std::wstring wide = utf8_to_wide(typed);
        if (wide.empty())
            replace_selection(control, L"");
        for (size_t i = 0; i < wide.size();) {
            // The page may disable or hide the edit in answer to a keystroke; a user
            // could not type on then.
            if (!IsWindow(control) || !IsWindowEnabled(control) || !IsWindowVisible(control))
                break;
            size_t length = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
            replace_selection(control, wide.substr(i, length));
            i += length;
        }
        settle();
    }

    void select_tab(HWND tab_control, int index) override {
        if (index == usable_tab(*this, tab_control, index).selection)
            return;
        // As a click on the tab: the parent may refuse the change, then hears of it.
        if (notify(tab_control, TCN_SELCHANGING) == 0 && IsWindow(tab_control)) {
            SendMessageW(tab_control, TCM_SETCURSEL, WPARAM(index), 0);
            notify(tab_control, TCN_SELCHANGE);
        }
        settle();
    }

private:
    static constexpr DWORD frame_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr const wchar_t* dialog_class = L"#32770";

    bool is_frame(HWND window) const {
        return std::find(m_frames.begin(), m_frames.end(), window) != m_frames.end();
    }

    // The window rectangle of a frame at `place` (its top left corner) whose
    // inside is as large as `place`: the caption and border add to its size.
    static RECT outer_rect(RECT place) {
        RECT outer = place;
        AdjustWindowRectEx(&outer, frame_style, FALSE, 0);
        OffsetRect(&outer, place.left - outer.left, place.top - outer.top);
        return outer;
    }

    static window_kind kind_of(const std::wstring& cls, DWORD style) {
        struct known_class {
            const wchar_t* name;
            control_class kind;
        };
        static const known_class classes[] = {
            {L"Button", control_class::button},      {L"Edit", control_class::edit},
            {L"Static", control_class::static_text}, {L"ListBox", control_class::list_box},
            {L"ComboBox", control_class::combo_box}, {WC_TABCONTROLW, control_class::tab_control},
        };
        if (cls == dialog_class)
            return window_kind::dialog;
        for (const auto& known : classes) {
            if (lstrcmpiW(cls.c_str(), known.name) == 0)
                return control_kind(known.kind, style);
        }
        return window_kind::frame;
    }

    void notify_command(HWND control, WORD code) {
        HWND parent = GetParent(control);
        if (parent) {
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(control)), code),
                         reinterpret_cast<LPARAM>(control));
        }
    }

    static void replace_selection(HWND edit, const std::wstring& text) {
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }

    LRESULT notify(HWND control, UINT code) {
        HWND parent = GetParent(control);
        if (!parent)
            return 0;
        int id = GetDlgCtrlID(control);
        NMHDR header{control, UINT_PTR(id), code};
        return SendMessageW(parent, WM_NOTIFY, WPARAM(id), reinterpret_cast<LPARAM>(&header));
    }

    // Lets the windows catch up with what was done: they repaint, and the
    // system shows the result on the screen.
    static void settle() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    creation_order m_order;
    std::vector<HWND> m_frames;
};

}  // namespace

std::unique_ptr<user_windows> make_system_windows() {
    return std::make_unique<win32_windows>();
}
