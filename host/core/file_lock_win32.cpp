#include <windows.h>

#include <stdexcept>

#include "host/core/file_lock.h"
#include "host/core/system_error_win32.h"
#include "sdk/utf16_win32.h"

namespace {
HANDLE handle_of(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}
}  // namespace

file_lock::file_lock(const std::string& path) : m_path(path) {
    // Other sessions open the same file to try its lock, so every kind of
    // sharing is allowed. The handle is not inherited by programs the session
    // starts, which could otherwise keep the lock after the session ended.
    HANDLE file = CreateFileW(long_path(path.c_str()).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("Cannot open " + path + ": " + system_error_text(GetLastError()));
    m_handle = reinterpret_cast<std::intptr_t>(file);
}

file_lock::~file_lock() {
    // Closing the handle releases the lock; so does the end of the process,
    // however it ends.
    CloseHandle(handle_of(m_handle));
}

bool file_lock::try_lock() {
    // The lock belongs to this handle: a second session of the same process,
    // which opens a handle of its own, is excluded too. The first byte stands
    // for the whole file.
    OVERLAPPED at{};
    if (LockFileEx(handle_of(m_handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                   0, &at))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
        return false;
    throw std::runtime_error("Cannot lock " + m_path + ": " + system_error_text(error));
}
