#include "sdk/utf16_win32.h"

#include <windows.h>

std::wstring utf8_to_wide(std::string_view text) {
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring out(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), length);
    return out;
}

std::string wide_to_utf8(std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string out(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), bytes, nullptr,
                        nullptr);
    return out;
}

std::wstring long_path(const char* path) {
    std::wstring given = utf8_to_wide(path ? path : "");
    if (given.empty())
        return given;
    // Already in the system's own notation ("\\?\C:\..." or a device "\\.\...").
    if (given.rfind(L"\\\\?\\", 0) == 0 || given.rfind(L"\\\\.\\", 0) == 0)
        return given;
    // Resolves ".", ".." and forward slashes, which the prefixed form takes
    // literally.
    const DWORD needed = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return given;
    std::wstring full(size_t(needed), L'\0');
    const DWORD written = GetFullPathNameW(given.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return given;
    full.resize(written);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
