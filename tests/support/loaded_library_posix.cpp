#include "support/loaded_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <sstream>

loaded_library::loaded_library(const std::string& path)
    : m_path(path), m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (!m_handle)
        m_error = dlerror();
}

loaded_library::~loaded_library() {
    if (m_handle)
        dlclose(m_handle);
}

void* loaded_library::symbol(const char* name) const {
    return dlsym(m_handle, name);
}

std::vector<std::string> loaded_library::exported_functions() const {
    // The dynamic symbol table, as binutils' nm lists it.
    const std::string command = "nm -D --defined-only '" + m_path + "'";
    std::vector<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        // "ADDRESS TYPE NAME"; the address is as wide as the library's pointers.
        std::istringstream fields(line);
        std::string address, type, name;
        if ((fields >> address >> type >> name) && (type == "T" || type == "W" || type == "i"))
            names.push_back(name);
    }
    if (pclose(pipe) != 0)
        names.push_back("(nm failed)");
    return names;
}
