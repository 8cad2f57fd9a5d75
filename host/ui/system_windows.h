// The system's own windows for the host's dialogs, where the host shows real ones.
// Which system this is, is the build's choice: on Windows the preferences page is
// a real dialog in a real window; elsewhere there are none, and the headless
// window layer stands in for them.
#pragma once

#include <memory>

#include "host/ui/user_windows.h"

// The system's windows, or null where the host has none of its own.
std::unique_ptr<user_windows> make_system_windows();
