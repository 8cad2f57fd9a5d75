// A window tree as text, one control a line with its id, kind, text and state,
// and the lines of combo boxes, list boxes and tab controls beneath it: what
// `prefs show` prints, readable by a person and easy to compare in a test.
#pragma once

#include <string>

#include "host/ui/user_windows.h"

// The visible descendants of `root` (hidden dialogs are left out with their
// controls; a hidden control is listed as hidden), each line indented by `indent`.
std::string describe_window_tree(const user_windows& windows, HWND root, int indent = 0);

// Text as one quoted line: quotes, backslashes and line breaks escaped.
std::string quote_text(const std::string& text);
