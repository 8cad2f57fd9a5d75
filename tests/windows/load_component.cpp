// Loads a component DLL as the player does and answers whether it works: the
// library loads with everything it imports, its static objects construct, the
// entry point gives a client of interface version 71 that is no debug build,
// its chain holds the component's ten services, and it unloads again.
//
//   load_component DLL
#include <windows.h>

#include <cstdio>

#include "sdk/component.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_component DLL\n");
        return 2;
    }
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) {
        std::fprintf(stderr, "FAIL: cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    auto entry = reinterpret_cast<sonarith_get_interface_t>(
        reinterpret_cast<void*>(GetProcAddress(library, "sonarith_get_interface")));
    if (!entry) {
        std::fprintf(stderr, "FAIL: no function sonarith_get_interface\n");
        return 1;
    }
    component_client* client = entry(nullptr, reinterpret_cast<module_instance>(library));
    int failures = 0;
    if (!client) {
        std::fprintf(stderr, "FAIL: the entry point gave no client\n");
        return 1;
    }
    if (client->get_version() != 71) {
        std::fprintf(stderr, "FAIL: interface version %u, not 71\n",
                     unsigned(client->get_version()));
        ++failures;
    }
    if (client->is_debug()) {
        std::fprintf(stderr, "FAIL: a debug build\n");
        ++failures;
    }
    int services = 0;
    for (service_factory_base* factory = client->get_service_list(); factory;
         factory = factory->get_next())
        ++services;
    if (services != 10) {
        std::fprintf(stderr, "FAIL: %d services in the chain, not 10\n", services);
        ++failures;
    }
    if (!FreeLibrary(library)) {
        std::fprintf(stderr, "FAIL: cannot unload the library\n");
        ++failures;
    }
    std::printf("loaded, interface version 71, %d services, unloaded\n", services);
    return failures == 0 ? 0 : 1;
}
