#include "host/ui/headless_windows.h"

#include <algorithm>

#include "host/ui/control_messages.h"
#include "sdk/utf8.h"

namespace {

// Win32's MulDiv: a * b / c, rounded.
int mul_div(int a, int b, int c) {
    return int((static_cast<long long>(a) * b + c / 2) / c);
}

// Dialog base units of a font: pixels per 4 horizontal and per 8 vertical dialog
// units, as Win32 measures the usual dialog fonts at 96 dots per inch.
void base_units(int font_size, int& base_x, int& base_y) {
    int size = font_size > 0 ? font_size : 8;
    base_x = mul_div(6, size, 8);
    base_y = mul_div(13, size, 8);
}

// A closed drop-down combo box is one line high, whatever its template says: the
// template's height is that of the open list.
constexpr int combo_closed_height_units = 14;

// The bytes of the UTF-8 sequence that `lead` starts.
size_t sequence_length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8)
        return 4;
    if (lead >= 0xE0)
        return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Splits UTF-8 text into characters; a byte that starts no valid sequence counts
// as a character of its own.
std::vector<std::string> characters(std::string_view text) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        size_t length = sequence_length(static_cast<unsigned char>(text[i]));
        for (size_t k = 1; k < length; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                length = 1;
                break;
            }
        }
        out.emplace_back(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace

headless_windows::headless_windows(std::unique_ptr<user_prompts> prompts)
    : m_prompts(std::move(prompts)) {}

headless_windows::~headless_windows() = default;

window_state* headless_windows::lookup(HWND window) {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : found->second.get();
}

const window_state* headless_windows::find(HWND window) const {
    auto found = m_windows.find(window);
    return found == m_windows.end() ? nullptr : found->second.get();
}

std::optional<window_state> headless_windows::state(HWND window) const {
    const window_state* found = find(window);
    return found ? std::optional<window_state>(*found) : std::nullopt;
}

HWND headless_windows::add_window(std::unique_ptr<window_state> window) {
    // Handles are never reused, so a stale handle never reaches another window.
    HWND handle = reinterpret_cast<HWND>(m_next_handle);
    m_next_handle += 0x10;
    window->handle = handle;
    if (window_state* parent = lookup(window->parent))
        parent->children.push_back(handle);
    m_windows.emplace(handle, std::move(window));
    return handle;
}

HWND headless_windows::create_frame(HWND parent, std::string caption, RECT rect) {
    auto window = std::make_unique<window_state>();
    window->parent = lookup(parent) ? parent : nullptr;
    window->kind = window_kind::frame;
    window->text = std::move(caption);
    window->rect = rect;
    window->visible = true;
    return add_window(std::move(window));
}

HWND headless_windows::create_dialog(const dialog_template& tpl, HWND parent, DLGPROC proc,
                                     LPARAM param) {
    if ((parent && !lookup(parent)) || (tpl.control_count > 0 && !tpl.controls) || tpl.cx < 0 ||
        tpl.cy < 0) {
        return nullptr;
    }
    auto dialog = std::make_unique<window_state>();
    dialog->parent = parent;
    dialog->kind = window_kind::dialog;
    dialog->style = tpl.style;
    dialog->proc = proc;
    dialog->font = tpl.font ? tpl.font : "";
    dialog->font_size = tpl.font_size;
    base_units(tpl.font_size, dialog->base_x, dialog->base_y);
    dialog->rect = {0, 0, mul_div(tpl.cx, dialog->base_x, 4), mul_div(tpl.cy, dialog->base_y, 8)};
    dialog->enabled = !(tpl.style & WS_DISABLED);
    // Shown, when its style asks for it, only once WM_INITDIALOG has run.
    dialog->visible = false;
    int base_x = dialog->base_x;
    int base_y = dialog->base_y;
    HWND handle = add_window(std::move(dialog));

    HWND first_tab_stop = nullptr;
    for (size_t i = 0; i < tpl.control_count; ++i) {
        const dialog_control& item = tpl.controls[i];
        auto control = std::make_unique<window_state>();
        control->parent = handle;
        control->kind = control_kind(item.kind, item.style);
        control->style = item.style;
        control->id = item.id;
        int units_high = control->kind == window_kind::combo_box
                             ? std::min(item.cy, combo_closed_height_units)
                             : item.cy;
        int left = mul_div(item.x, base_x, 4);
        int top = mul_div(item.y, base_y, 8);
        control->rect = {left, top, left + mul_div(item.cx, base_x, 4),
                         top + mul_div(units_high, base_y, 8)};
        control->enabled = !(item.style & WS_DISABLED);
        control->visible = (item.style & WS_VISIBLE) != 0;
        HWND added = add_window(std::move(control));
        control_message(*lookup(added), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(item.text));
        if (!first_tab_stop && (item.style & WS_TABSTOP))
            first_tab_stop = added;
    }

    dispatch(handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(first_tab_stop), param);
    window_state* created = lookup(handle);
    if (!created || created->destroying)
        return nullptr;
    if (tpl.style & WS_VISIBLE)
        created->visible = true;
    return handle;
}

bool headless_windows::destroy_window(HWND window) {
    window_state* target = lookup(window);
    if (!target)
        return false;
    if (target->destroying)
        return true;
    target->destroying = true;
    // As in Win32: the window hears of its end first, while its children still
    // live, then each child.
    dispatch(window, WM_DESTROY, 0, 0);
    target = lookup(window);
    std::vector<HWND> children = target ? target->children : std::vector<HWND>{};
    for (HWND child : children)
        destroy_window(child);
    target = lookup(window);
    if (!target)
        return true;
    if (window_state* parent = lookup(target->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    m_windows.erase(window);
    return true;
}

bool headless_windows::is_window(HWND window) {
    return lookup(window) != nullptr;
}

HWND headless_windows::get_dlg_item(HWND dialog, int id) {
    window_state* parent = lookup(dialog);
    if (!parent)
        return nullptr;
    for (HWND child : parent->children) {
        window_state* control = lookup(child);
        if (control && control->id == id)
            return child;
    }
    return nullptr;
}

int headless_windows::get_dlg_ctrl_id(HWND window) {
    window_state* control = lookup(window);
    return control ? control->id : 0;
}

HWND headless_windows::get_parent(HWND window) {
    window_state* child = lookup(window);
    return child ? child->parent : nullptr;
}

LRESULT headless_windows::dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    window_state* target = lookup(window);
    if (!target)
        return 0;
    if (target->proc) {
        DLGPROC proc = target->proc;
        INT_PTR handled = proc(window, message, wparam, lparam);
        if (handled)
            return handled;
        target = lookup(window);
        if (!target)
            return 0;
    }
    control_reply reply = control_message(*target, message, wparam, lparam);
    if (reply.notification)
        notify_command(window, *reply.notification);
    return reply.result;
}

LRESULT headless_windows::send_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return dispatch(window, message, wparam, lparam);
}

bool headless_windows::enable_window(HWND window, bool enable) {
    window_state* target = lookup(window);
    if (!target)
        return false;
    bool was_disabled = !target->enabled;
    target->enabled = enable;
    return was_disabled;
}

bool headless_windows::is_window_enabled(HWND window) {
    window_state* target = lookup(window);
    return target && target->enabled;
}

bool headless_windows::show_window(HWND window, int command) {
    window_state* target = lookup(window);
    if (!target)
        return false;
    bool was_visible = target->visible;
    target->visible = command != SW_HIDE;
    return was_visible;
}

bool headless_windows::is_window_visible(HWND window) {
    for (window_state* w = lookup(window); w; w = lookup(w->parent)) {
        if (!w->visible)
            return false;
        if (!w->parent)
            return true;
    }
    return false;
}

bool headless_windows::set_window_pos(HWND window, HWND insert_after, int x, int y, int cx, int cy,
                                      UINT flags) {
    window_state* target = lookup(window);
    if (!target)
        return false;
    RECT before = target->rect;
    RECT& rect = target->rect;
    if (!(flags & SWP_NOMOVE)) {
        rect = {x, y, x + (before.right - before.left), y + (before.bottom - before.top)};
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(cx, 0);
        rect.bottom = rect.top + std::max(cy, 0);
    }
    if (flags & SWP_SHOWWINDOW)
        target->visible = true;
    if (flags & SWP_HIDEWINDOW)
        target->visible = false;
    RECT after = rect;
    if (!target->proc)
        return true;
    WINDOWPOS position{window,
                       insert_after,
                       after.left,
                       after.top,
                       after.right - after.left,
                       after.bottom - after.top,
                       flags};
    if (dispatch(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position)))
        return true;
    // What Win32's default handling of WM_WINDOWPOSCHANGED sends.
    if (after.left != before.left || after.top != before.top) {
        dispatch(window, WM_MOVE, 0, MAKELPARAM(WORD(after.left), WORD(after.top)));
    }
    if (after.right - after.left != before.right - before.left ||
        after.bottom - after.top != before.bottom - before.top) {
        dispatch(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(WORD(after.right - after.left), WORD(after.bottom - after.top)));
    }
    return true;
}

bool headless_windows::get_window_rect(HWND window, RECT* rect) {
    window_state* target = lookup(window);
    if (!target || !rect)
        return false;
    int x = 0;
    int y = 0;
    for (window_state* w = target; w; w = lookup(w->parent)) {
        x += w->rect.left;
        y += w->rect.top;
    }
    *rect = {x, y, x + target->width(), y + target->height()};
    return true;
}

bool headless_windows::get_client_rect(HWND window, RECT* rect) {
    window_state* target = lookup(window);
    if (!target || !rect)
        return false;
    *rect = {0, 0, target->width(), target->height()};
    return true;
}

int headless_windows::message_box(HWND, const char* text, const char* caption, UINT style) {
    return m_prompts->message_box(text, caption, style);
}

bool headless_windows::get_file_name(HWND, const file_dialog_request& request, string_base& path) {
    return m_prompts->file_dialog(request, path);
}

std::vector<HWND> headless_windows::find_controls(HWND root, int id) const {
    std::vector<HWND> found;
    const window_state* parent = find(root);
    if (!parent)
        return found;
    for (HWND child : parent->children) {
        const window_state* control = find(child);
        if (!control)
            continue;
        if (control->id == id && control->kind != window_kind::dialog)
            found.push_back(child);
        auto deeper = find_controls(child, id);
        found.insert(found.end(), deeper.begin(), deeper.end());
    }
    return found;
}

window_state& headless_windows::usable_control(HWND control, const char* action) {
    ::usable_control(*this, control, action);
    return *lookup(control);
}

void headless_windows::notify_command(HWND control, WORD code) {
    window_state* source = lookup(control);
    if (!source || !source->parent)
        return;
    dispatch(source->parent, WM_COMMAND, MAKEWPARAM(WORD(source->id), code),
             reinterpret_cast<LPARAM>(control));
}

void headless_windows::notify(HWND control, UINT code) {
    window_state* source = lookup(control);
    if (!source || !source->parent)
        return;
    NMHDR header{control, UINT_PTR(source->id), code};
    dispatch(source->parent, WM_NOTIFY, WPARAM(source->id), reinterpret_cast<LPARAM>(&header));
}

void headless_windows::click(HWND control) {
    window_state& target = usable_control(control, "click");
    switch (target.kind) {
        case window_kind::check_box:
            if ((target.style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
                target.check = target.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            notify_command(control, BN_CLICKED);
            return;
        case window_kind::push_button:
            notify_command(control, BN_CLICKED);
            return;
        default:
            throw user_action_error("cannot click " + control_name(target) + ": only buttons and " +
                                    "check boxes are clicked");
    }
}

void headless_windows::set_check(HWND control, bool on) {
    window_state& target = usable_control(control, "tick");
    if (target.kind != window_kind::check_box)
        throw user_action_error("cannot tick " + control_name(target) + ": it is not a check box");
    if ((target.check == BST_CHECKED) != on)
        click(control);
}

void headless_windows::select(HWND control, int index) {
    window_state& target = usable_control(control, "select in");
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
            target.selection = index;
            notify_command(control, CBN_SELCHANGE);
            return;
        case window_kind::list_box: {
            if (index < -1 || index >= count)
                throw out_of_range();
            target.selection = index;
            if (target.has_style(LBS_NOTIFY))
                notify_command(control, index < 0 ? LBN_SELCANCEL : LBN_SELCHANGE);
            return;
        }
        case window_kind::tab_control:
            select_tab(control, index);
            return;
        default:
            throw user_action_error("cannot select in " + control_name(target) +
                                    ": it has no lines to choose from");
    }
}

void headless_windows::type_text(HWND control, std::string_view text) {
    window_state& target = usable_control(control, "type into");
    if (target.kind != window_kind::edit)
        throw user_action_error("cannot type into " + control_name(target) + ": it is not an edit");
    std::string typed = target.is_multiline_edit() ? std::string(text) : first_line(text);
    if (typed.empty()) {
        if (target.text.empty())
            return;
        target.text.clear();
        notify_command(control, EN_CHANGE);
        return;
    }
    bool first = true;
    for (const std::string& character : characters(typed)) {
        window_state* edit = lookup(control);
        // The page may disable or hide the edit in answer to a keystroke; a user
        // could not type on then.
        if (!edit || !edit->enabled || !is_window_visible(control))
            return;
        std::string shown = edit->has_style(ES_UPPERCASE) ? std::string() : character;
        if (edit->has_style(ES_UPPERCASE))
            utf8_append_upper(shown, character);
        edit->text = first ? shown : edit->text + shown;
        first = false;
        notify_command(control, EN_CHANGE);
    }
}

void headless_windows::select_tab(HWND tab_control, int index) {
    if (index == usable_tab(*this, tab_control, index).selection)
        return;
    notify(tab_control, TCN_SELCHANGING);
    window_state* tabs = lookup(tab_control);
    if (!tabs)
        return;
    tabs->selection = index;
    notify(tab_control, TCN_SELCHANGE);
}
