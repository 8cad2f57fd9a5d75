#include "sdk/file.h"

#include <string>

#include "sdk/host_access.h"

void filesystem::g_open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
                        abort_callback& abort) {
    // The list holds the file system while it is used.
    const filesystem_list filesystems;
    filesystem* owner = filesystems.owner_of(path);
    if (!owner)
        throw exception_io(std::string("No file system can open ") + path);
    owner->open(out, path, mode, abort);
}

void filesystem::g_get_canonical_path(const char* path, string_base& out) {
    filesystem_list().get_canonical_path(path, out);
}

filesystem_list::filesystem_list() {
    service_enum<filesystem>([&](const service_ptr_t<filesystem>& fs) {
        m_filesystems.push_back(fs);
        return true;
    });
}

void filesystem_list::get_canonical_path(const char* path, string_base& out) const {
    for (const auto& fs : m_filesystems) {
        if (fs->get_canonical_path(path, out))
            return;
    }
    out.set_string(path);
}

filesystem* filesystem_list::owner_of(const char* path) const {
    for (const auto& fs : m_filesystems) {
        if (fs->is_our_path(path))
            return fs.get_ptr();
    }
    return nullptr;
}

bool filesystem::g_exists(const char* path, abort_callback& abort) {
    // The list holds the file system while it is used.
    const filesystem_list filesystems;
    filesystem* owner = filesystems.owner_of(path);
    return owner && owner->exists(path, abort);
}
