// A dialog template as plain data: the dialog's size and font and its controls in
// tab order, each with its id, kind, text, place, size and Windows style. The same
// data makes a real dialog on Windows and a headless one in the stand-in host.
// Positions and sizes are in dialog units, which scale with the dialog's font.
#pragma once

#include <cstddef>

#include "sdk/win32_types.h"

// The window class of a control.
enum class control_class : int {
    button,       // push button, check box or group box, as its BS_ style says
    edit,         // single- or multi-line edit
    static_text,  // label
    list_box,
    combo_box,
    tab_control,
};

// The Windows class name of a control class.
constexpr const char* control_class_name(control_class kind) {
    switch (kind) {
        case control_class::button:
            return "Button";
        case control_class::edit:
            return "Edit";
        case control_class::static_text:
            return "Static";
        case control_class::list_box:
            return "ListBox";
        case control_class::combo_box:
            return "ComboBox";
        case control_class::tab_control:
            return "SysTabControl32";
    }
    return "";
}

struct dialog_control {
    int id;  // IDC_STATIC for controls the code never addresses
    control_class kind;
    const char* text;  // UTF-8; "" for none
    int x;             // place and size in dialog units
    int y;
    int cx;
    int cy;
    // The whole Windows style: WS_CHILD | WS_VISIBLE, the class's own bits
    // (BS_AUTOCHECKBOX, ES_UPPERCASE, ...) and WS_DISABLED for a control that
    // starts disabled.
    DWORD style;
};

struct dialog_template {
    int cx;  // size in dialog units
    int cy;
    const char* font;  // face name, e.g. "Tahoma"
    int font_size;     // in points
    DWORD style;       // e.g. WS_CHILD | DS_CONTROL | DS_SETFONT; WS_VISIBLE shows it at once
    const dialog_control* controls;
    size_t control_count;
};

// A template over a static array of controls.
template <size_t N>
constexpr dialog_template make_dialog_template(int cx, int cy, const char* font, int font_size,
                                               DWORD style, const dialog_control (&controls)[N]) {
    return {cx, cy, font, font_size, style, controls, N};
}

// The control of `tpl` with `id`, or null.
inline const dialog_control* find_template_control(const dialog_template& tpl, int id) {
    for (size_t i = 0; i < tpl.control_count; ++i) {
        if (tpl.controls[i].id == id)
            return &tpl.controls[i];
    }
    return nullptr;
}
