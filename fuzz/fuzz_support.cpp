#include "fuzz_support.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "frame/component_client.h"
#include "storage/packed_fields.h"

extern "C" component_client* sonarith_get_interface(host_api* api, module_instance instance);

size_t memory_file::read(void* buffer, size_t size, abort_callback& abort) {
    abort.check();
    const size_t n = std::min(size, m_bytes.size() - std::min(m_position, m_bytes.size()));
    if (n)
        std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

void memory_file::write(const void* buffer, size_t size, abort_callback& abort) {
    abort.check();
    if (m_bytes.size() < m_position + size)
        m_bytes.resize(m_position + size);
    if (size)
        std::memcpy(m_bytes.data() + m_position, buffer, size);
    m_position += size;
}

void memory_file::seek(uint64_t position, abort_callback& abort) {
    abort.check();
    m_position = size_t(position);
}

host_session& fuzz_host() {
    static std::unique_ptr<host_session> session = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tagshelf-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        host_options options;
        options.profile_directory = pattern;
        options.ask_on_terminal = false;
        auto made = std::make_unique<host_session>(std::move(options));
        made->load_builtin_component(&sonarith_get_interface, "snr_tagshelf");
        made->start();
        return made;
    }();
    return *session;
}

std::string describe(const tagshelf_store& store) {
    std::string text;
    for (const storage_entry* entry : store.entries()) {
        if (entry->fields.empty())
            continue;  // not written by any method
        const std::string_view path = entry->location.path();
        text.append(path.data(), path.size());
        text += '#' + std::to_string(entry->location.get_subsong());
        const packed_fields::view fields(entry->fields);
        for (size_t f = 0; f < fields.get_field_count(); ++f) {
            text += "\n  ";
            text += fields.get_field_name(f);
            for (size_t v = 0; v < fields.get_value_count(f); ++v) {
                text += "\n    ";
                text += fields.get_value(f, v);
            }
        }
        text += '\n';
    }
    return text;
}

void fuzz_check(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}
