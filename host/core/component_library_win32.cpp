#include <windows.h>

#include <stdexcept>

#include "host/core/component_library.h"
#include "host/core/system_error_win32.h"
#include "sdk/utf16_win32.h"

const char component_library_extension[] = ".dll";

std::string component_directory() {
    // The module file name has no fixed limit (long paths), so the buffer
    // grows until the name fits.
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, exe.data(), DWORD(exe.size()));
        if (length == 0)
            return "components";
        if (length < exe.size()) {
            exe.resize(length);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    const size_t folder = exe.find_last_of(L"\\/");
    if (folder == std::wstring::npos)
        return "components";
    return wide_to_utf8(exe.substr(0, folder + 1)) + "components";
}

void* open_library(const std::string& path) {
    // The library's own dependencies are looked for beside it first, as the
    // player loads a component.
    HMODULE library =
        LoadLibraryExW(utf8_to_wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        throw std::runtime_error("Cannot load component " + path + ": " +
                                 system_error_text(GetLastError()));
    }
    return reinterpret_cast<void*>(library);
}

void* find_library_symbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void close_library(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}
