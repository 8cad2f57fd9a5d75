#include "sdk/host_access.h"

#include "sdk/window.h"

namespace {
host_api* g_host = nullptr;
}

void sdk_set_host(host_api* api) {
    g_host = api;
}
host_api* sdk_host() {
    return g_host;
}

#ifndef _WIN32
int uMessageBox(HWND owner, const char* text, const char* caption, unsigned style) {
    auto windows = service_find_first<window_system>();
    if (!windows)
        return IDCANCEL;
    return windows->message_box(owner, text, caption, style);
}
#endif
