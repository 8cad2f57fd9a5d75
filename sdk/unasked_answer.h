// The answer a message box gets where nobody can be asked (no host to show it):
// the one that does nothing the user did not ask for. Both window layers give
// it, so a component behaves alike without a host on every system.
#pragma once

#include "sdk/win32_types.h"

// IDNO for a question, IDOK for a box with an OK button, IDCANCEL otherwise.
int unasked_message_box_answer(UINT style);
