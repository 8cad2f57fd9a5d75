// Where a template's place lands in pixels: a dialog lays out its controls in
// dialog units, which the window system turns into pixels by the dialog's font.
#pragma once

#include "sdk/win32_types.h"

// `units`, in the dialog units of `dialog`'s template, in its pixels: each of
// the four values on its own axis (left and right across, top and bottom down),
// so that a control's x, y, cx and cy map to its place and size as the dialog
// lays it out. On POSIX the host's headless windows use the 8-point dialog font
// (6 pixels per 4 units across, 13 per 8 down); on Windows the system maps them
// by the font of `dialog`.
RECT dialog_units_to_pixels(HWND dialog, RECT units);
