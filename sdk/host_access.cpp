#include "sdk/host_access.h"

namespace {
host_api* g_host = nullptr;
}

void sdk_set_host(host_api* api) {
    g_host = api;
}
host_api* sdk_host() {
    return g_host;
}
