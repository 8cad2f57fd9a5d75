#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>

#include "host/core/component_library.h"

const char component_library_extension[] = ".so";

std::string component_directory() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "components";
    return (exe.parent_path() / "components").string();
}

void* open_library(const std::string& path) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw std::runtime_error("Cannot load component " + path + ": " + dlerror());
    return library;
}

void* find_library_symbol(void* library, const char* name) {
    return dlsym(library, name);
}

void close_library(void* library) {
    dlclose(library);
}
