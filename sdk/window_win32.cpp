// The window layer on Windows: a template becomes a real dialog through an
// extended dialog template built in memory, as a resource compiler would write
// it, and the UTF-8 wrappers convert to and from the system's UTF-16.
#include "sdk/window.h"

// After window.h, which brings the system headers this one builds on.
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sdk/host_access.h"
#include "sdk/unasked_answer.h"
#include "sdk/utf16_win32.h"

namespace {

std::wstring wide(const char* text) {
    return utf8_to_wide(text ? text : "");
}

// Writes an extended dialog template (DLGTEMPLATEEX with DLGITEMTEMPLATEEX items)
// word by word.
class template_writer {
public:
    void word(WORD value) { m_words.push_back(value); }
    void dword(DWORD value) {
        word(WORD(value & 0xFFFF));
        word(WORD(value >> 16));
    }
    void text(const char* utf8) {
        for (wchar_t c : wide(utf8))
            word(WORD(c));
        word(0);
    }
    void align_dword() {
        if (m_words.size() % 2)
            word(0);
    }
    const WORD* data() const { return m_words.data(); }

private:
    std::vector<WORD> m_words;
};

// The predefined class atoms of the template format; the tab control has none and
// is named instead.
void write_class(template_writer& out, control_class kind) {
    WORD atom = 0;
    switch (kind) {
        case control_class::button:
            atom = 0x0080;
            break;
        case control_class::edit:
            atom = 0x0081;
            break;
        case control_class::static_text:
            atom = 0x0082;
            break;
        case control_class::list_box:
            atom = 0x0083;
            break;
        case control_class::combo_box:
            atom = 0x0085;
            break;
        case control_class::tab_control:
            out.text(control_class_name(kind));
            return;
    }
    out.word(0xFFFF);
    out.word(atom);
}

template_writer build_template(const dialog_template& tpl) {
    template_writer out;
    out.word(1);       // version
    out.word(0xFFFF);  // extended template
    out.dword(0);      // help id
    out.dword(0);      // extended style
    out.dword(tpl.style | (tpl.font ? DS_SETFONT : 0));
    out.word(WORD(tpl.control_count));
    out.word(0);  // x, y
    out.word(0);
    out.word(WORD(tpl.cx));
    out.word(WORD(tpl.cy));
    out.word(0);   // no menu
    out.word(0);   // the standard dialog class
    out.text("");  // no caption
    if (tpl.font) {
        out.word(WORD(tpl.font_size));
        out.word(FW_NORMAL);
        out.word(WORD(DEFAULT_CHARSET) << 8);  // not italic, then the character set
        out.text(tpl.font);
    }
    for (size_t i = 0; i < tpl.control_count; ++i) {
        const dialog_control& control = tpl.controls[i];
        out.align_dword();
        out.dword(0);  // help id
        out.dword(0);  // extended style
        out.dword(control.style);
        out.word(WORD(control.x));
        out.word(WORD(control.y));
        out.word(WORD(control.cx));
        out.word(WORD(control.cy));
        out.dword(DWORD(control.id));
        write_class(out, control.kind);
        out.text(control.text);
        out.word(0);  // no creation data
    }
    return out;
}

// The module this code is linked into: the component's DLL, which owns the
// dialogs it creates, rather than the player's program.
HINSTANCE own_module() {
    // Any address within the module names it.
    static const char inside = 0;
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&inside), &module);
    return module;
}

}  // namespace

HWND uCreateDialog(const dialog_template& tpl, HWND parent, DLGPROC proc, LPARAM param) {
    static const bool common_controls = [] {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)common_controls;
    template_writer data = build_template(tpl);
    return CreateDialogIndirectParamW(own_module(), reinterpret_cast<LPCDLGTEMPLATEW>(data.data()),
                                      parent, proc, param);
}

BOOL uSetWindowText(HWND window, const char* text) {
    return SetWindowTextW(window, wide(text).c_str());
}

BOOL uSetDlgItemText(HWND dialog, int id, const char* text) {
    return SetDlgItemTextW(dialog, id, wide(text).c_str());
}

LRESULT uSendMessageText(HWND window, UINT message, WPARAM wparam, const char* text) {
    std::wstring converted = wide(text);
    return SendMessageW(window, message, wparam, reinterpret_cast<LPARAM>(converted.c_str()));
}

LRESULT uSendDlgItemMessageText(HWND dialog, int id, UINT message, WPARAM wparam,
                                const char* text) {
    return uSendMessageText(GetDlgItem(dialog, id), message, wparam, text);
}

bool uGetWindowText(HWND window, string_base& out) {
    out.reset();
    if (!IsWindow(window))
        return false;
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return true;
    std::wstring buffer(size_t(length) + 1, L'\0');
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    out.set_string(
        wide_to_utf8(std::wstring_view(buffer.data(), size_t(copied > 0 ? copied : 0))).c_str());
    return true;
}

bool uGetDlgItemText(HWND dialog, int id, string_base& out) {
    return uGetWindowText(GetDlgItem(dialog, id), out);
}

int uTabCtrl_InsertItem(HWND tab, int index, const TCITEMA* item) {
    if (!item)
        return -1;
    std::wstring text = wide(item->pszText);
    TCITEMW converted{};
    converted.mask = item->mask;
    converted.dwState = item->dwState;
    converted.dwStateMask = item->dwStateMask;
    converted.pszText = text.data();
    converted.iImage = item->iImage;
    converted.lParam = item->lParam;
    return int(
        SendMessageW(tab, TCM_INSERTITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&converted)));
}

// Without a host the module runs where nobody answers the system's boxes and
// dialogs (a test, a tool): a modal one would wait for ever, so none is shown.
int uMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    if (!sdk_host())
        return unasked_message_box_answer(style);
    return MessageBoxW(owner, wide(text).c_str(), wide(caption).c_str(), style);
}

bool uGetOpenFileName(HWND owner, const char* filter, unsigned filter_index,
                      const char* default_extension, const char* title,
                      const char* initial_directory, string_base& path, bool save) {
    if (!sdk_host())
        return false;
    // "Name|pattern|Name|pattern" becomes the system's zero-separated list.
    std::wstring filters = wide(filter);
    for (wchar_t& c : filters) {
        if (c == L'|')
            c = L'\0';
    }
    filters.push_back(L'\0');
    filters.push_back(L'\0');
    std::wstring extension = wide(default_extension);
    std::wstring caption = wide(title);
    std::wstring directory = wide(initial_directory);
    std::wstring file = wide(path.get_ptr());
    file.resize(std::max<size_t>(file.size() + 1, 32768), L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = filter_index;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return false;
    path.set_string(wide_to_utf8(file.c_str()).c_str());
    return true;
}
