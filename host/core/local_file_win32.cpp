// Local files on Windows: the wide calls in the long-path form, so that
// neither the characters nor the length of a path limit what can be reached.
#include <windows.h>

#include <string>

#include "host/core/local_file.h"
#include "host/core/system_error_win32.h"
#include "sdk/utf16_win32.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, DWORD error) {
    throw exception_io(std::string(what) + " " + path + ": " + system_error_text(error));
}

// An open local file; the handle is closed when the last reference goes.
class local_file : public file {
public:
    local_file(HANDLE handle, std::string path) : m_handle(handle), m_path(std::move(path)) {}
    ~local_file() { CloseHandle(m_handle); }
    local_file(const local_file&) = delete;
    local_file& operator=(const local_file&) = delete;

    size_t read(void* buffer, size_t size, abort_callback& abort) override {
        auto* bytes = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < size) {
            abort.check();
            DWORD got = 0;
            if (!ReadFile(m_handle, bytes + done, chunk(size - done), &got, nullptr))
                fail("Cannot read", m_path, GetLastError());
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    void write(const void* buffer, size_t size, abort_callback& abort) override {
        const auto* bytes = static_cast<const char*>(buffer);
        size_t done = 0;
        while (done < size) {
            abort.check();
            DWORD put = 0;
            if (!WriteFile(m_handle, bytes + done, chunk(size - done), &put, nullptr))
                fail("Cannot write", m_path, GetLastError());
            done += put;
        }
    }

    uint64_t get_size(abort_callback& abort) override {
        abort.check();
        LARGE_INTEGER size;
        if (!GetFileSizeEx(m_handle, &size))
            fail("Cannot query the size of", m_path, GetLastError());
        return uint64_t(size.QuadPart);
    }

    uint64_t get_position(abort_callback& abort) override {
        abort.check();
        LARGE_INTEGER zero{}, position;
        if (!SetFilePointerEx(m_handle, zero, &position, FILE_CURRENT))
            fail("Cannot query the position in", m_path, GetLastError());
        return uint64_t(position.QuadPart);
    }

    void seek(uint64_t position, abort_callback& abort) override {
        abort.check();
        LARGE_INTEGER to;
        to.QuadPart = LONGLONG(position);
        if (to.QuadPart < 0)
            fail("Cannot seek in", m_path, ERROR_NEGATIVE_SEEK);
        if (!SetFilePointerEx(m_handle, to, nullptr, FILE_BEGIN))
            fail("Cannot seek in", m_path, GetLastError());
    }

    void flush(abort_callback& abort) override {
        abort.check();
        if (!FlushFileBuffers(m_handle))
            fail("Cannot flush", m_path, GetLastError());
    }

private:
    // ReadFile and WriteFile move at most a DWORD's worth at a time.
    static DWORD chunk(size_t left) { return left > 0x40000000 ? 0x40000000 : DWORD(left); }

    HANDLE m_handle;
    std::string m_path;
};

bool is_drive_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

size_t local_root_length(std::string_view native) {
    return native.size() >= 3 && is_drive_letter(native[0]) && native[1] == ':' && native[2] == '\\'
               ? 3
               : 0;
}

service_ptr_t<file> open_local_file(const std::string& native, filesystem::t_open_mode mode) {
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
        case filesystem::open_mode_read:
            break;
        case filesystem::open_mode_write_existing:
            access |= GENERIC_WRITE;
            break;
        case filesystem::open_mode_write_new:
            access |= GENERIC_WRITE;
            disposition = CREATE_ALWAYS;
            break;
        default:
            throw exception_io("Unknown open mode for " + native);
    }
    // Others may read, write, rename and delete the file while it is open, as
    // they may on POSIX systems. The handle is not inherited by programs the
    // host starts.
    HANDLE handle = CreateFileW(long_path(native.c_str()).c_str(), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        fail("Cannot open", native, GetLastError());
    // Only regular files hold data a caller can read back.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        fail("Cannot open", native, ERROR_INVALID_FUNCTION);
    }
    return make_service<local_file>(handle, native);
}

bool local_path_exists(const std::string& native) {
    return GetFileAttributesW(long_path(native.c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
}
