#include "sdk/file.h"

#include <sys/stat.h>
#include <cstdio>
#include <string>

#include "sdk/host_access.h"

void filesystem::g_open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
                        abort_callback& abort) {
    bool handled = false;
    service_enum<filesystem>([&](const service_ptr_t<filesystem>& fs) {
        if (!fs->is_our_path(path))
            return true;
        fs->open(out, path, mode, abort);
        handled = true;
        return false;
    });
    if (!handled)
        throw exception_io(std::string("No file system can open ") + path);
}

void filesystem::g_get_canonical_path(const char* path, string_base& out) {
    bool done = false;
    service_enum<filesystem>([&](const service_ptr_t<filesystem>& fs) {
        done = fs->get_canonical_path(path, out);
        return !done;
    });
    if (!done)
        out.set_string(path);
}

bool filesystem::g_exists(const char* path, abort_callback& abort) {
    bool exists = false;
    service_enum<filesystem>([&](const service_ptr_t<filesystem>& fs) {
        if (!fs->is_our_path(path))
            return true;
        exists = fs->exists(path, abort);
        return false;
    });
    return exists;
}

#ifndef _WIN32
bool uFindFirstFile(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0;
}
bool uMoveFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}
bool uDeleteFile(const char* path) {
    return std::remove(path) == 0;
}
#endif
