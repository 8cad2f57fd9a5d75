// The profile's files on Windows: wide calls on UTF-8 paths, and a replacing
// rename that reaches the disk.
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "host/core/profile.h"
#include "host/core/system_error_win32.h"
#include "sdk/utf16_win32.h"

const char default_profile_description[] = "%APPDATA%\\sonarith";

namespace {

std::string environment_variable(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0)
        return std::string();
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return wide_to_utf8(value);
}

// The user's roaming application data folder, where programs keep what follows
// the user from machine to machine.
std::string roaming_application_data() {
    wchar_t* folder = nullptr;
    std::string path;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK)
        path = wide_to_utf8(folder);
    CoTaskMemFree(folder);
    return path.empty() ? environment_variable(L"APPDATA") : path;
}

[[noreturn]] void fail(const std::string& what, const std::string& path, DWORD error) {
    throw std::runtime_error(what + " " + path + ": " + system_error_text(error));
}

// The temporary file of a write, closed when done and removed unless the write
// was finished: a failed save leaves the previous file as it was and nothing
// beside it.
class temporary_file {
public:
    explicit temporary_file(std::string path) : m_path(std::move(path)) {
        m_handle = CreateFileW(long_path(m_path.c_str()).c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle == INVALID_HANDLE_VALUE)
            fail("Cannot create", m_path, GetLastError());
    }
    ~temporary_file() {
        close();
        if (!m_kept)
            DeleteFileW(long_path(m_path.c_str()).c_str());
    }
    temporary_file(const temporary_file&) = delete;
    temporary_file& operator=(const temporary_file&) = delete;

    void write(const char* data, size_t size) {
        while (size > 0) {
            const DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
            DWORD written = 0;
            if (!WriteFile(m_handle, data, chunk, &written, nullptr))
                fail("Cannot write", m_path, GetLastError());
            data += written;
            size -= written;
        }
    }
    void flush() {
        if (!FlushFileBuffers(m_handle))
            fail("Cannot flush", m_path, GetLastError());
    }
    void close() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }
    void keep() { m_kept = true; }

private:
    std::string m_path;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_kept = false;
};

}  // namespace

std::string default_profile_directory() {
    std::string chosen = environment_variable(L"SONARITH_PROFILE");
    if (!chosen.empty())
        return chosen;
    const std::string folder = roaming_application_data();
    return (folder.empty() ? std::string(".") : folder) + "\\sonarith";
}

void write_file_atomically(const std::string& path, const char* data, size_t size) {
    std::filesystem::create_directories(std::filesystem::u8path(path).parent_path());
    const std::string temp = path + ".tmp";
    temporary_file written(temp);
    written.write(data, size);
    written.flush();
    written.close();
    // The rename returns once it is on the disk too: Windows has no flush of a
    // folder, and this is what takes its place.
    if (!MoveFileExW(long_path(temp.c_str()).c_str(), long_path(path.c_str()).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail("Cannot replace", path, GetLastError());
    written.keep();
}
