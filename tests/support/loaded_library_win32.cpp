#include "support/loaded_library.h"

#include <windows.h>

#include "sdk/utf16_win32.h"

loaded_library::loaded_library(const std::string& path)
    : m_path(path), m_handle(LoadLibraryW(utf8_to_wide(path).c_str())) {
    if (!m_handle)
        m_error = "LoadLibraryW failed with error " + std::to_string(GetLastError());
}

loaded_library::~loaded_library() {
    if (m_handle)
        FreeLibrary(static_cast<HMODULE>(m_handle));
}

void* loaded_library::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

std::vector<std::string> loaded_library::exported_functions() const {
    // The export directory of the mapped image, found through its PE headers.
    std::vector<std::string> names;
    const auto* base = static_cast<const unsigned char*>(m_handle);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.Size == 0)
        return names;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* name_offsets = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + name_offsets[i]));
    return names;
}
